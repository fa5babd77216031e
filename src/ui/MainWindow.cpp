#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "app/Backup.h"
#include "app/BuildEds.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "gateway/GatewaySettings.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/PortNames.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/QtSerialPort.h"
#include "sim/SimulatedPort.h"
#include "ui/AboutWindow.h"
#include "ui/CanopenWindow.h"
#include "ui/DeviceNetWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/Pictures.h"
#include "ui/QtUserInterface.h"
#include "ui/ScanParameterDialog.h"
#include "ui/SelectablePort.h"
#include "ui/StatusLine.h"
#include "ui/WindowGeometry.h"
#include "ui/WindowParts.h"

namespace k400::ui {

namespace {

template <typename W>
W* Named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    // Hidden controls keep their place, so the panel does not jump about.
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

// Settings key of the port the last connect used.
const QString PortKey = QStringLiteral("port");

// The tint of a box whose entry "Setting" has not stored.
const QColor PendingTint(0xff, 0xf0, 0xa8);

void Tint(QWidget* box, bool pending)
{
    if (box->property("pending").toBool() == pending)
        return;
    box->setProperty("pending", pending);
    QPalette palette = box->parentWidget() != nullptr ? box->parentWidget()->palette() : QPalette();
    if (pending) {
        for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
            palette.setColor(role, PendingTint);
    }
    box->setAutoFillBackground(pending);
    box->setPalette(palette);
}

}  // namespace

MainWindow::MainWindow(MainWindowOptions options) : options_(std::move(options))
{
    clock_ = options_.clock ? std::move(options_.clock) : std::make_unique<SystemClock>();
    SelectablePort::Factory simulated;
    if (options_.demo) {
        Clock* clock = clock_.get();
        Scenario scenario = options_.scenario ? *options_.scenario : BuiltInScenario();
        simulated = [clock, scenario]() -> std::unique_ptr<SerialPort> {
            return std::make_unique<SimulatedPort>(scenario, *clock);
        };
    }
    port_ = std::make_unique<SelectablePort>(std::make_unique<QtSerialPort>(), std::move(simulated));
    // Events run between the slices of every wait for the console.
    port_->setBetweenSlices([this] {
        activeStatusLine()->replyAwaited();
        QCoreApplication::processEvents();
    });
    ui_ = std::make_unique<QtUserInterface>(*this);
    link_ = std::make_unique<ConsoleLink>(*port_, *clock_, *ui_);
    if (options_.paceMs >= 0)
        link_->Timing.PaceMs = options_.paceMs;
    std::filesystem::path folder = options_.outputFolder.empty() ? ProgramFolder() : options_.outputFolder;
    context_ = std::unique_ptr<AppContext>(new AppContext{state_, *link_, *port_, *ui_, folder});

    buildControls();
    loadWindow();
}

MainWindow::~MainWindow()
{
    // Windows that refer to the context go first.
    delete canopenWindow_.data();
    delete deviceNetWindow_.data();
    delete scanDialog_.data();
    delete aboutWindow_.data();
}

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("Main_F"));
    setWindowTitle(FromCore(msg::MainTitle));

    // Menus
    QMenu* file = menuBar()->addMenu(Mnemonic(msg::FileMenu, 'F'));
    file->setObjectName(QStringLiteral("File"));
    openPlanAction_ = file->addAction(Mnemonic(msg::OpenPlanMenu, 'O'));
    openPlanAction_->setObjectName(QStringLiteral("OpenPlan"));
    openPlanAction_->setShortcut(QKeySequence::Open);
    connect(openPlanAction_, &QAction::triggered, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, FromCore(msg::OpenPlanTitle), QString(), FromCore(msg::PlanFileFilter));
        if (!path.isEmpty())
            openPlan(path);
    });
    savePlanAction_ = file->addAction(Mnemonic(msg::SavePlanMenu, 'S'));
    savePlanAction_->setObjectName(QStringLiteral("SavePlan"));
    savePlanAction_->setShortcut(QKeySequence::Save);
    connect(savePlanAction_, &QAction::triggered, this, [this] {
        const QString path =
            QFileDialog::getSaveFileName(this, FromCore(msg::SavePlanTitle), QString(), FromCore(msg::PlanFileFilter));
        if (!path.isEmpty())
            savePlan(path);
    });
    file->addSeparator();
    // The gateway's stored configuration and a backup file; each entry asks for the file first.
    const struct {
        const char *caption, *name, *tip, *title;
        char key;
        bool save;
        bool (MainWindow::*handler)(const QString&);
    } backupEntries[] = {
        {msg::BackupMenu, "BackupGateway", msg::BackupMenuTip, msg::BackupTitle, 'B', true, &MainWindow::backupGateway},
        {msg::CompareMenu, "CompareBackup", msg::CompareMenuTip, msg::CompareTitle, 'C', false,
         &MainWindow::compareWithBackup},
        {msg::RestoreMenu, "RestoreBackup", msg::RestoreMenuTip, msg::RestoreTitle, 'R', false,
         &MainWindow::restoreFromBackup}};
    for (std::size_t i = 0; i < backupActions_.size(); ++i) {
        const auto& entry = backupEntries[i];
        QAction* action = file->addAction(Mnemonic(entry.caption, entry.key));
        action->setObjectName(QString::fromLatin1(entry.name));
        action->setToolTip(FromCore(entry.tip));
        action->setStatusTip(FromCore(entry.tip));
        action->setEnabled(false);  // until a connect succeeds
        connect(action, &QAction::triggered, this, [this, entry] {
            const QString title = FromCore(entry.title), filter = FromCore(msg::BackupFileFilter);
            QString path = entry.save ? QFileDialog::getSaveFileName(this, title, QString(), filter)
                                      : QFileDialog::getOpenFileName(this, title, QString(), filter);
            if (path.isEmpty())
                return;
            if (entry.save && QFileInfo(path).suffix().isEmpty())
                path += QStringLiteral(".json");
            (this->*entry.handler)(path);
        });
        backupActions_[i] = action;
    }
    file->setToolTipsVisible(true);
    file->addSeparator();
    exitAction_ = file->addAction(Mnemonic(msg::ExitMenu, 'x'));
    exitAction_->setObjectName(QStringLiteral("ExitProgram"));
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    aboutAction_ = menuBar()->addAction(Mnemonic(msg::AboutMenu, 'A'));
    aboutAction_->setObjectName(QStringLiteral("About_"));
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::openAbout);
    // F10 opens the menu bar, as on other desktops.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this, file] {
        menuBar()->setFocus(Qt::ShortcutFocusReason);
        menuBar()->setActiveAction(file->menuAction());
    });
    statusLine_ = new StatusLine(this);
    setStatusBar(statusLine_);

    auto* central = new QWidget(this);
    setCentralWidget(central);

    // Communication: port choice, Connect, progress, firmware and status.
    auto* communication = Named(new QGroupBox(FromCore(msg::CommunicationCaption), central), "CommunicationRegion");
    comPort_ = Named(new QComboBox(communication), "ComPort");
    // Device paths and network ports are typed in.
    comPort_->setEditable(true);
    comPort_->setInsertPolicy(QComboBox::NoInsert);
    comPort_->setToolTip(FromCore(msg::ComPortTip));
    auto* label3 = Named(BuddyLabel(msg::PcComPortLabel, 'P', comPort_, communication), "Label3");
    connect_ = Named(NamedButton(communication, msg::ConnectButton, 'C', "Connect", msg::ConnectTip), "Connect");
    progress_ = Named(new QProgressBar(communication), "ConnectProgress");
    progress_->setTextVisible(false);
    progress_->setRange(0, 10);  // the connect's steps
    auto* commLayout = new QGridLayout(communication);
    commLayout->addWidget(label3, 0, 0);
    commLayout->addWidget(comPort_, 0, 1);
    commLayout->addWidget(connect_, 1, 0, 1, 2);
    commLayout->addWidget(progress_, 2, 0, 1, 2);
    connect(connect_, &QPushButton::clicked, this, &MainWindow::connectGateway);

    auto* label4 = Named(new QLabel(FromCore(msg::FirmwareVersionLabel), central), "Label4");
    firmwareVer_ = Named(new QLineEdit(central), "FirmwareVer");
    MakeReadOnly(firmwareVer_, msg::FirmwareTip);
    auto* stateLabel = Named(new QLabel(FromCore(msg::StatusLabel), central), "State");
    communicationState_ = Named(new QLineEdit(central), "CommunicationState");
    MakeReadOnly(communicationState_, msg::StatusTip);
    writeEds_ = Named(NamedButton(central, msg::BuildEdsButton, 'B', "WriteEDS", msg::BuildEdsTip), "WriteEDS");
    connect(writeEds_, &QPushButton::clicked, this, &MainWindow::buildEdsFile);
    exitProgram_ =
        Named(NamedButton(central, msg::ExitProgramButton, 'E', "EixtProgram", msg::ExitProgramTip), "EixtProgram");
    connect(exitProgram_, &QPushButton::clicked, this, &QWidget::close);

    auto* left = new QVBoxLayout;
    left->addWidget(communication);
    left->addWidget(label4);
    left->addWidget(firmwareVer_);
    left->addWidget(stateLabel);
    left->addWidget(communicationState_);
    left->addStretch(1);
    left->addWidget(writeEds_);
    left->addWidget(exitProgram_);

    // The controller with its CAN side (0) and COM2 side (1).
    auto* frame2 = Named(new QGroupBox(FromCore(msg::SituationCaption), central), "Frame2");
    auto* situation = new QGridLayout(frame2);
    const QSize sidePicture(TwipsToPixels(1300, this), TwipsToPixels(800, this));
    const QSize controllerPicture(TwipsToPixels(1500, this), TwipsToPixels(2200, this));
    const char* captions[2] = {"CAN Bus", "RS-485"};
    const char* points[2] = {"CAN Channel", "COM2"};
    for (int i = 0; i < 2; ++i) {
        const int column = i == 0 ? 0 : 2;
        comCaption_[i] = Named(new QLabel(QString::fromLatin1(captions[i]), frame2), Indexed("ComCaption", i));
        comCaption_[i]->setAlignment(Qt::AlignCenter);
        QFont bold = comCaption_[i]->font();
        bold.setBold(true);
        comCaption_[i]->setFont(bold);
        comImage_[i] = Named(new QLabel(frame2), Indexed("ComImage", i));
        comImage_[i]->setPixmap(i == 0 ? CanSidePicture(sidePicture) : Rs485SidePicture(sidePicture));
        comImage_[i]->setAlignment(Qt::AlignCenter);
        comButton_[i] =
            Named(NamedButton(frame2, msg::SelectButton, 0, "ComButton", i == 0 ? msg::CanSideTip : msg::Com2SideTip),
                  Indexed("ComButton", i));
        comButton_[i]->setCheckable(true);
        comButton_[i]->setToolTip(i == 0 ? FromCore(msg::CanSideTip) : FromCore(msg::Com2SideTip));
        connect(comButton_[i], &QPushButton::clicked, this, [this, i] { sideToggleReleased(i); });
        mousePoint_[i] = Named(new QLabel(QString::fromLatin1(points[i]), frame2), Indexed("MousePoint", i));
        mousePoint_[i]->setAlignment(Qt::AlignCenter);
        situation->addWidget(comCaption_[i], 0, column);
        situation->addWidget(comImage_[i], 1, column);
        situation->addWidget(comButton_[i], 2, column);
        situation->addWidget(mousePoint_[i], 3, column);
        imageK400_[i] = Named(new QLabel(frame2), Indexed("ImageK400", i));
        imageK400_[i]->setPixmap(
            ControllerPicture(i == 0 ? ControllerVariant::K400E : ControllerVariant::K400B, controllerPicture));
        imageK400_[i]->setAlignment(Qt::AlignCenter);
        situation->addWidget(imageK400_[i], 0, 1, 5, 1);
    }
    modulesImage_ = Named(new QLabel(frame2), "ModulesImage");
    modulesImage_->setPixmap(ModulesPicture(QSize(TwipsToPixels(1300, this), TwipsToPixels(650, this))));
    modulesImage_->setAlignment(Qt::AlignCenter);
    situation->addWidget(modulesImage_, 4, 2);

    // Parameter entry panel.
    paraSetting_ = Named(new QGroupBox(FromCore(msg::ParaSettingCaptionCan), central), "ParaSetting");
    applicationLayerFrame_ =
        Named(new QGroupBox(FromCore(msg::ApplicationLayerCaption), paraSetting_), "ApplicationLayerFrame");
    auto* appLayout = new QHBoxLayout(applicationLayerFrame_);
    const char* applications[2] = {msg::CanopenName, msg::DeviceNetName};
    const char applicationKeys[2] = {'o', 'D'};
    const char* applicationTips[2] = {msg::CanopenOptionTip, msg::DeviceNetOptionTip};
    for (int i = 0; i < 2; ++i) {
        applicationSelect_[i] =
            Named(new QRadioButton(Mnemonic(applications[i], applicationKeys[i]), applicationLayerFrame_),
                  Indexed("ApplicationSelect", i));
        applicationSelect_[i]->setToolTip(FromCore(applicationTips[i]));
        // The handler decides which option is chosen; neither may be.
        applicationSelect_[i]->setAutoExclusive(false);
        connect(applicationSelect_[i], &QRadioButton::clicked, this, [this, i] { applicationOptionClicked(i); });
        appLayout->addWidget(applicationSelect_[i]);
    }
    canBaudrate_ = Named(new QComboBox(paraSetting_), "CANBaudrate");
    paraSettingC1_ = Named(BuddyLabel(msg::BaudRateLabel, 'r', canBaudrate_, paraSetting_), "ParaSettingC1");
    canNodeId_ = Named(new QLineEdit(paraSetting_), "CANNodeId");
    paraSettingC2_[0] = Named(BuddyLabel(msg::NodeIdLabel, 'N', canNodeId_, paraSetting_), "ParaSettingC2_0");
    paraSettingC2_[1] = Named(BuddyLabel(msg::TimeoutLabel, 'T', canNodeId_, paraSetting_), "ParaSettingC2_1");
    comChecksum_ = Named(new QComboBox(paraSetting_), "ComChecksum");
    comChecksum_->setToolTip(FromCore(msg::ComChecksumTip));
    paraSettingC0_ = Named(BuddyLabel(msg::ChecksumLabel, 'h', comChecksum_, paraSetting_), "ParaSettingC0");
    settingParameter_ = Named(NamedButton(paraSetting_, msg::SettingButton, 'S', "SettingParameter", msg::SettingTip),
                              "SettingParameter");
    connect(settingParameter_, &QPushButton::clicked, this, &MainWindow::settingClicked);
    pendingHint_ = Named(new QLabel(FromCore(msg::PendingHint), paraSetting_), "PendingHint");
    pendingHint_->setStyleSheet(QStringLiteral("color: #a05000; font-style: italic;"));
    pendingHint_->hide();
    connect(canNodeId_, &QLineEdit::textEdited, this, &MainWindow::updatePending);
    connect(canBaudrate_, &QComboBox::activated, this, &MainWindow::updatePending);
    connect(comChecksum_, &QComboBox::activated, this, &MainWindow::updatePending);
    auto* setLayout = new QGridLayout(paraSetting_);
    setLayout->addWidget(applicationLayerFrame_, 0, 0, 1, 2);
    setLayout->addWidget(paraSettingC0_, 0, 0);
    setLayout->addWidget(comChecksum_, 0, 1);
    setLayout->addWidget(paraSettingC1_, 1, 0);
    setLayout->addWidget(canBaudrate_, 1, 1);
    setLayout->addWidget(paraSettingC2_[0], 2, 0);
    setLayout->addWidget(paraSettingC2_[1], 2, 0);
    setLayout->addWidget(canNodeId_, 2, 1);
    auto* settingRow = new QHBoxLayout;
    settingRow->addStretch(1);
    settingRow->addWidget(pendingHint_);
    settingRow->addWidget(settingParameter_);
    setLayout->addLayout(settingRow, 3, 0, 1, 2);
    setLayout->setColumnStretch(1, 1);

    // Read-only view of the stored parameters.
    paraView_ = Named(new QGroupBox(FromCore(msg::ParaViewCaptionCan), central), "ParaView");
    viewerC0_ = Named(new QLabel(FromCore(msg::BaudRateLabel), paraView_), "ViewerC0");
    viewerC1_[0] = Named(new QLabel(FromCore(msg::ApplicationLayerCaption), paraView_), "ViewerC1_0");
    viewerC1_[1] = Named(new QLabel(FromCore(msg::ChecksumLabel), paraView_), "ViewerC1_1");
    viewerC2_[0] = Named(new QLabel(FromCore(msg::NodeIdViewLabel), paraView_), "ViewerC2_0");
    viewerC2_[1] = Named(new QLabel(FromCore(msg::TimeoutLabel), paraView_), "ViewerC2_1");
    for (int i = 0; i < 3; ++i) {
        viewerText_[i] = Named(new QLineEdit(paraView_), Indexed("ViewerText", i));
        MakeReadOnly(viewerText_[i], msg::ViewerTextTip);
    }
    auto* viewLayout = new QGridLayout(paraView_);
    viewLayout->addWidget(viewerC0_, 0, 0);
    viewLayout->addWidget(viewerText_[0], 0, 1);
    viewLayout->addWidget(viewerC1_[0], 1, 0);
    viewLayout->addWidget(viewerC1_[1], 1, 0);
    viewLayout->addWidget(viewerText_[1], 1, 1);
    viewLayout->addWidget(viewerC2_[0], 2, 0);
    viewLayout->addWidget(viewerC2_[1], 2, 0);
    viewLayout->addWidget(viewerText_[2], 2, 1);
    viewLayout->setRowStretch(3, 1);
    viewLayout->setColumnStretch(1, 1);

    auto* grid = new QGridLayout(central);
    grid->addLayout(left, 0, 0);
    grid->addWidget(frame2, 0, 1);
    grid->addWidget(paraSetting_, 1, 0);
    grid->addWidget(paraView_, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    // Tab in reading order: the left column, the side toggles, then the panel.
    const std::array<QWidget*, 12> order = {comPort_,
                                            connect_,
                                            writeEds_,
                                            exitProgram_,
                                            comButton_[0],
                                            comButton_[1],
                                            applicationSelect_[0],
                                            applicationSelect_[1],
                                            comChecksum_,
                                            canBaudrate_,
                                            canNodeId_,
                                            settingParameter_};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::loadWindow()
{
    resize(TwipsToPixels(8240, this), TwipsToPixels(7130, this));
    panel_ = ParameterPanel{};
    // Program-wide values the load sets (the rest have their initial values).
    state_.StoredImageInvalid = false;
    state_.Connected = false;
    state_.GatewayBusy = false;
    state_.EepromBlock = 0;
    state_.StoredImageValid = 0;
    state_.LastOutputAssembly = 0;
    state_.LastInputAssembly = 0;
    state_.ScanBaudIndex = 3;
    state_.ScanChecksumIndex = 0;
    state_.ScanTimeoutMs = 200;
    state_.ApplicationLayer = 0;
    state_.NodeId = 1;
    state_.CanBaudIndex = 0;
    link_->Timing.ConsoleTimeoutMs = LinkTiming{}.ConsoleTimeoutMs;

    resetMainView();
    firmwareVer_->clear();
    communicationState_->clear();
    fillPortList();
    CentreOnScreen(this);
}

void MainWindow::fillPortList()
{
    comPort_->clear();
    portNames_.clear();
    for (int n = 1; n <= 16; ++n) {
        const std::string name = "COM" + std::to_string(n);
        comPort_->addItem(QString::fromStdString(name));
        portNames_.push_back(name);
    }
    // Where the COM names do not reach every port of the machine, the ports
    // actually present follow.
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string path = info.systemLocation().toStdString();
        bool reached = false;
        for (int n = 1; n <= 16 && !reached; ++n)
            reached = DevicePathForPortName("COM" + std::to_string(n)) == path;
        if (reached)
            continue;
        comPort_->addItem(info.systemLocation());
        portNames_.push_back(path);
    }
    if (options_.demo) {
        simulatedIndex_ = comPort_->count();
        comPort_->addItem(QString::fromLatin1(SimulatedPortName));
        portNames_.push_back(SimulatedPortName);
    }
    comPort_->setCurrentIndex(options_.demo ? simulatedIndex_ : 0);
    // The port of the last connect, unless the demo offers its own.
    const QString last = QSettings().value(PortKey).toString();
    if (!options_.demo && !last.isEmpty()) {
        const int index = comPort_->findText(last);
        if (index >= 0)
            comPort_->setCurrentIndex(index);
        else
            comPort_->setEditText(last);
    }
}

void MainWindow::rememberPort()
{
    QSettings().setValue(PortKey, comPort_->currentText().trimmed());
}

std::string MainWindow::selectedPortName() const
{
    const QString text = comPort_->currentText().trimmed();
    const int index = comPort_->findText(text);
    if (index >= 0 && index < static_cast<int>(portNames_.size()))
        return portNames_[static_cast<std::size_t>(index)];
    if (text.isEmpty())
        return portNames_.front();
    // Typed: COMn, a device path, or a network port.
    return NormalizePortName(text.toStdString());
}

void MainWindow::resetMainView()
{
    ResetMainView(panel_);
    refreshPanel();
    progress_->hide();
}

namespace {
void FillList(QComboBox* box, const std::vector<std::string>& entries, int selected)
{
    const QSignalBlocker block(box);
    bool same = box->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < box->count(); ++i)
        same = box->itemText(i) == FromCore(entries[static_cast<std::size_t>(i)]);
    if (!same) {
        box->clear();
        for (const std::string& entry : entries)
            box->addItem(FromCore(entry));
    }
    box->setCurrentIndex(selected >= 0 && selected < box->count() ? selected : -1);
}
}  // namespace

void MainWindow::refreshPanel()
{
    const ParameterPanel& p = panel_;
    for (std::size_t i = 0; i < 2; ++i) {
        comButton_[i]->setVisible(p.ComButton[i].Visible);
        {
            const QSignalBlocker block(comButton_[i]);
            comButton_[i]->setChecked(p.ComButton[i].Pressed);
        }
        colourToggle(static_cast<int>(i), p.ComButton[i].BackColour);
        comImage_[i]->setVisible(p.ComImageVisible[i]);
        mousePoint_[i]->setVisible(p.MousePointVisible[i]);
        comCaption_[i]->setVisible(p.ComCaptionVisible[i]);
        imageK400_[i]->setVisible(p.ImageK400Visible[i]);
        {
            const QSignalBlocker block(applicationSelect_[i]);
            applicationSelect_[i]->setChecked(p.ApplicationSelect[i]);
        }
        paraSettingC2_[i]->setVisible(p.ParaSettingC2Visible[i]);
        viewerC1_[i]->setVisible(p.ViewerC1Visible[i]);
        viewerC2_[i]->setVisible(p.ViewerC2Visible[i]);
    }
    modulesImage_->setVisible(p.ModulesImageVisible);
    applicationLayerFrame_->setVisible(p.ApplicationLayerFrameVisible);
    paraSetting_->setTitle(FromCore(p.ParaSettingCaption));
    paraView_->setTitle(FromCore(p.ParaViewCaption));
    const bool com2 = p.SelectedSide == 1;
    canBaudrate_->setToolTip(FromCore(com2 ? msg::Com2BaudTip : msg::CanBaudTip));
    canNodeId_->setToolTip(FromCore(com2 ? msg::Com2TimeoutTip : msg::NodeIdTip));
    paraSettingC1_->setVisible(p.ParaSettingC1Visible);
    canBaudrate_->setVisible(p.CANBaudrateVisible);
    FillList(canBaudrate_, p.CANBaudrate, p.CANBaudrateIndex);
    canNodeId_->setVisible(p.CANNodeIdVisible);
    canNodeId_->setText(FromCore(p.CANNodeId));
    paraSettingC0_->setVisible(p.ParaSettingC0Visible);
    comChecksum_->setVisible(p.ComChecksumVisible);
    FillList(comChecksum_, p.ComChecksum, p.ComChecksumIndex);
    settingParameter_->setVisible(p.SettingParameterVisible);
    viewerC0_->setVisible(p.ViewerC0Visible);
    for (std::size_t i = 0; i < 3; ++i) {
        viewerText_[i]->setVisible(p.ViewerTextVisible[i]);
        viewerText_[i]->setText(FromCore(p.ViewerText[i]));
    }
    updatePending();
}

MainWindow::Entries MainWindow::entries() const
{
    Entries e;
    if (panel_.SelectedSide == 0)
        e.application = {applicationSelect_[0]->isChecked(), applicationSelect_[1]->isChecked()};
    e.baud = canBaudrate_->currentIndex();
    e.value = canNodeId_->text();
    if (panel_.SelectedSide == 1)
        e.checksum = comChecksum_->currentIndex();
    return e;
}

void MainWindow::markStored()
{
    stored_ = entries();
    updatePending();
}

bool MainWindow::pendingEntries() const
{
    return (panel_.SelectedSide == 0 || panel_.SelectedSide == 1) && entries() != stored_;
}

void MainWindow::updatePending()
{
    const bool shown = panel_.SelectedSide == 0 || panel_.SelectedSide == 1;
    const Entries now = entries();
    for (std::size_t i = 0; i < 2; ++i)
        Tint(applicationSelect_[i], shown && now.application != stored_.application && now.application[i]);
    Tint(canBaudrate_, shown && now.baud != stored_.baud);
    Tint(canNodeId_, shown && now.value != stored_.value);
    Tint(comChecksum_, shown && now.checksum != stored_.checksum);
    pendingHint_->setVisible(shown && now != stored_);
}

void MainWindow::fillBoxesFromPlan()
{
    const int side = panel_.SelectedSide;
    if (!plan_ || (side != 0 && side != 1) || !planSidesDue_[static_cast<std::size_t>(side)])
        return;
    planSidesDue_[static_cast<std::size_t>(side)] = false;
    const Plan& plan = *plan_;
    if (side == 0) {
        if (plan.Slave != Profile::None)
            applicationOptionClicked(plan.Slave == Profile::Canopen ? 0 : 1);
        const std::uint8_t application = applicationSelect_[0]->isChecked() ? CanopenLayer : DeviceNetLayer;
        if (plan.CanBaudKbps)
            if (const auto index = CanBaudIndexOf(application, *plan.CanBaudKbps))
                canBaudrate_->setCurrentIndex(*index);
        if (plan.NodeId)
            canNodeId_->setText(QString::number(*plan.NodeId));
    } else {
        if (plan.Com2BaudBps)
            if (const auto index = BaudIndexOf(*plan.Com2BaudBps))
                canBaudrate_->setCurrentIndex(*index);
        if (plan.Com2Checksum)
            comChecksum_->setCurrentIndex(*plan.Com2Checksum ? 1 : 0);
        if (plan.Com2TimeoutMs)
            canNodeId_->setText(QString::number(*plan.Com2TimeoutMs));
    }
    updatePending();
}

bool MainWindow::openPlan(const QString& path)
{
    std::string error;
    std::optional<Plan> plan = LoadPlanFile(path.toStdString(), error);
    if (!plan) {
        ShowMessage(this, FromCore(msg::PlanNotRead(error)), FromCore(msg::ErrorTitle), QMessageBox::Critical);
        return false;
    }
    plan_ = std::move(plan);
    planSidesDue_ = {true, true};
    planProfilesDue_ = {true, true};
    statusLine_->say(FromCore(msg::PlanOpened(QFileInfo(path).fileName().toStdString())));
    fillBoxesFromPlan();
    return true;
}

std::optional<Plan> MainWindow::takePlanForProfile(Profile profile)
{
    const std::size_t which = profile == Profile::Canopen ? 0 : 1;
    if (!plan_ || !planProfilesDue_[which])
        return std::nullopt;
    planProfilesDue_[which] = false;
    return plan_;
}

bool MainWindow::savePlan(const QString& path)
{
    Plan plan;
    if (state_.ApplicationLayer == DeviceNetLayer) {
        plan = PlanOfDeviceNet(state_, deviceNetChoices_.value_or(DeviceNetChoices{}));
        if (!deviceNetChoices_) {  // no DeviceNet window yet: nothing chosen to replay
            plan.InputEntry = {};
            plan.OutputEntry = {};
            plan.DefaultConnection.reset();
        }
    } else {
        CanopenChoices choices;
        choices.Mode = (state_.ErrorControlFlags & HeartbeatBit) != 0 ? ErrorControlMode::Heartbeat
                                                                      : ErrorControlMode::NodeGuarding;
        choices.GuardTimeMs = state_.GuardTime;
        choices.LifeFactor = state_.LifeTimeFactor;
        choices.HeartbeatMs = state_.HeartbeatTime;
        plan = PlanOfCanopen(state_, canopenChoices_.value_or(choices));
    }
    if (!state_.Connected)
        plan.Modules.reset();  // no scan yet: the modules are not known
    const TextFileResult written = WritePlanFile(path.toStdString(), plan);
    if (!written) {
        ShowMessage(this, FromCore(written.error), FromCore(msg::ErrorTitle), QMessageBox::Critical);
        return false;
    }
    statusLine_->say(FromCore(msg::PlanSaved(path.toStdString())));
    return true;
}

namespace {
std::optional<GatewayBackup> LoadBackup(QWidget* parent, const QString& path, const char* title)
{
    std::string error;
    auto backup = LoadBackupFile(path.toStdString(), error);
    if (!backup)
        ShowMessage(parent, FromCore(msg::BackupNotRead(error)), FromCore(title), QMessageBox::Critical);
    return backup;
}

QString FileLine(const char* label, const std::filesystem::path& path)
{
    return FromCore(label) + QString::fromStdString(path.filename().string());
}
}  // namespace

bool MainWindow::gatewayReady()
{
    if (state_.GatewayBusy)
        return false;
    if (!state_.Connected) {
        ui_->setStatusText(msg::StatusConnectFirst);
        return false;
    }
    // The port listed now may be another gateway than the one connected to.
    return CheckListedPort(state_, selectedPortName(), *ui_);
}

std::optional<GatewayBackup> MainWindow::readGateway()
{
    const QString status = statusText();
    std::optional<GatewayBackup> backup;
    {
        const DialogueFeedback feedback(nullptr, {centralWidget(), menuBar()}, statusLine_, *link_, msg::ReadProgress);
        backup = ReadGatewayBackup(state_, *link_);
    }
    statusLine_->clearMessage();
    if (backup)
        setStatusText(status);  // reading changed nothing the status box shows
    return backup;
}

bool MainWindow::backupGateway(const QString& path)
{
    if (!gatewayReady())
        return false;
    const auto backup = readGateway();
    if (!backup)
        return false;  // the failure was shown
    const QString title = FromCore(msg::BackupTitle);
    const TextFileResult written = WriteBackupFile(path.toStdString(), *backup);
    if (!written) {
        ShowMessage(this, FromCore(written.error), title, QMessageBox::Critical);
        return false;
    }
    const QString text =
        FromCore(msg::BackupWritten(written.path.filename().string(), written.path.parent_path().string()));
    statusLine_->say(text);
    ShowMessage(this, text, title, QMessageBox::Information);
    return true;
}

bool MainWindow::compareWithBackup(const QString& path)
{
    if (!gatewayReady())
        return false;
    const auto file = LoadBackup(this, path, msg::CompareTitle);
    if (!file)
        return false;
    const auto gateway = readGateway();
    if (!gateway)
        return false;
    const BackupComparison comparison = CompareBackups(*file, *gateway);
    QStringList lines;
    for (const std::string& line : ComparisonLines(comparison))
        lines << FromCore(line);
    const bool equal = comparison.Equal();
    const QString text = FromCore(equal ? msg::CompareEqual : msg::CompareDiffers);
    statusLine_->say(text);
    ShowResult(this, text, FromCore(msg::CompareTitle), equal ? QMessageBox::Information : QMessageBox::Warning, lines);
    return true;
}

bool MainWindow::restoreFromBackup(const QString& path)
{
    if (!gatewayReady())
        return false;
    const QString title = FromCore(msg::RestoreTitle);
    const auto file = LoadBackup(this, path, msg::RestoreTitle);
    if (!file)
        return false;
    std::string refusal;
    if (!file->StoredImageValid)
        refusal = msg::RestoreInvalidBackup;
    else if (const std::string difference = BackupModulesDiffer(*file, state_); !difference.empty())
        refusal = msg::RestoreModulesDiffer(difference);
    if (!refusal.empty()) {
        ShowMessage(this, FromCore(refusal), title, QMessageBox::Warning);
        return false;
    }
    if (!AskYesNo(this, FromCore(msg::RestoreQuestion(QFileInfo(path).fileName().toStdString())), title))
        return false;
    storePanelInput();
    RestoreResult restored;
    {
        const DialogueFeedback feedback(nullptr, {centralWidget(), menuBar()}, statusLine_, *link_,
                                        msg::FinishProgress);
        // The connect after the write scans as the one before did.
        ui_->keepScanParameters(true);
        restored = RestoreBackup(state_, *link_, *file, context_->outputFolder, false);
        ui_->keepScanParameters(false);
    }
    if (restored.Reached != RestoreStep::Write)
        connectDone(state_.Connected);
    if (!restored.ok())
        return false;  // each failure was shown
    const DeviceFiles& files = restored.Files;
    QStringList lines{FromCore(msg::RestoreDone), QString(),
                      FromCore(msg::EepromStatusLabel) + FromCore(EepromStatusText(restored.Written.status)),
                      FileLine(msg::EdsFileLabel, files.Eds.path)};
    if (files.Dcf)
        lines << FileLine(msg::DcfFileLabel, files.Dcf->path);
    lines << FromCore(msg::FolderLabel) + QString::fromStdString(files.Eds.path.parent_path().string());
    statusLine_->showWritten(files.Eds.path.string());
    ShowMessage(this, lines.join(QLatin1Char('\n')), title, QMessageBox::Information);
    return true;
}

void MainWindow::storePanelInput()
{
    panel_.CANBaudrateIndex = canBaudrate_->currentIndex();
    panel_.CANNodeId = canNodeId_->text().toStdString();
    panel_.ComChecksumIndex = comChecksum_->currentIndex();
}

void MainWindow::sideToggleReleased(int side)
{
    if (side < 0 || side > 1)
        return;
    storePanelInput();
    ClickSideToggle(state_, panel_, side);
    refreshPanel();
    markStored();
    fillBoxesFromPlan();
}

void MainWindow::applicationOptionClicked(int option)
{
    if (option < 0 || option > 1)
        return;
    storePanelInput();
    ApplicationOptionHandler(panel_, option);
    refreshPanel();
}

void MainWindow::settingClicked()
{
    storePanelInput();
    const bool stored = SettingHandler(state_, panel_, *ui_);
    refreshPanel();
    if (stored)
        markStored();
}

void MainWindow::connectGateway()
{
    if (state_.GatewayBusy)
        return;
    port_->setPortName(selectedPortName());
    rememberPort();
    storePanelInput();
    connectDone(RunConnectSequence(state_, *link_) == ConnectOutcome::Succeeded);
}

void MainWindow::connectDone(bool connected)
{
    if (connected)
        PressCanSide(state_, panel_);
    statusLine_->idle();
    statusLine_->clearMessage();
    refreshPanel();
    if (connected) {
        markStored();
        fillBoxesFromPlan();
    }
}

void MainWindow::showConnectPhase(ConnectPhase phase)
{
    switch (phase) {
    case ConnectPhase::Started:
        statusLine_->setBusy(true);
        ResetMainView(panel_);
        connect_->setEnabled(false);
        firmwareVer_->clear();
        comPort_->setEnabled(false);
        writeEds_->setEnabled(false);
        exitProgram_->setEnabled(false);
        break;
    case ConnectPhase::Released:
        statusLine_->idle();
        releaseConnection();
        break;
    case ConnectPhase::Succeeded:
        statusLine_->idle();
        ShowConnectResult(state_, panel_);
        firmwareVer_->setText(FromCore(FirmwareVersionText(state_)));
        comPort_->setEnabled(true);
        writeEds_->setEnabled(true);
        exitProgram_->setEnabled(true);
        connect_->setEnabled(true);
        break;
    }
    for (QAction* action : backupActions_)
        action->setEnabled(state_.Connected);
    refreshPanel();
}

void MainWindow::releaseConnection()
{
    comPort_->setEnabled(true);
    connect_->setEnabled(true);
    settingParameter_->setEnabled(true);
    exitProgram_->setEnabled(true);
    progress_->hide();
}

void MainWindow::setStatusText(const QString& text)
{
    communicationState_->setText(text);
}

QString MainWindow::statusText() const
{
    return communicationState_->text();
}

void MainWindow::setProgressValue(int value)
{
    progress_->setValue(value);
}

void MainWindow::setProgressVisible(bool visible)
{
    progress_->setVisible(visible);
}

StatusLine* MainWindow::activeStatusLine() const
{
    if (canopenWindow_ != nullptr && canopenWindow_->isVisible())
        return canopenWindow_->statusLine();
    if (deviceNetWindow_ != nullptr && deviceNetWindow_->isVisible())
        return deviceNetWindow_->statusLine();
    return statusLine_;
}

void MainWindow::setInputEnabled(bool enabled)
{
    // Not the window itself: that would disable its dialog too.
    centralWidget()->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
}

bool MainWindow::inputEnabled() const
{
    return centralWidget()->isEnabled() && menuBar()->isEnabled();
}

void MainWindow::colourToggle(int side, std::uint32_t rgb)
{
    QPushButton* toggle = comButton_[static_cast<std::size_t>(side)];
    const QColor colour = QColor::fromRgb(static_cast<QRgb>(rgb));
    // The style sheet replaces the native frame, focus ring included: it draws its own.
    toggle->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #606060; "
                                         "border-radius: 3px; padding: 3px 10px; }"
                                         "QPushButton:focus { border: 2px dashed #0030c0; padding: 2px 9px; }")
                              .arg(colour.name()));
}

ScanParameterDialog* MainWindow::openScanParameterDialog()
{
    if (scanDialog_ == nullptr) {
        scanDialog_ = new ScanParameterDialog(this);
        scanDialog_->setObjectName(QStringLiteral("ComParaSetting_F"));
    }
    scanDialog_->load(StoredScanParameters(state_));
    scanDialog_->show();
    scanDialog_->raise();
    scanDialog_->activateWindow();
    return scanDialog_;
}

void MainWindow::openAbout()
{
    if (aboutWindow_ == nullptr)
        aboutWindow_ = new AboutWindow(this);
    aboutWindow_->show();
    aboutWindow_->raise();
    aboutWindow_->activateWindow();
}

void MainWindow::buildEdsFile()
{
    // An entry typed but not stored would silently not be used: ask.
    if (state_.Connected && !state_.GatewayBusy && pendingEntries()) {
        switch (AskYesNoCancel(this, FromCore(msg::PendingQuestion), FromCore(msg::PendingTitle))) {
        case QMessageBox::Yes:
            settingClicked();
            if (pendingEntries())
                return;  // refused: the message said why
            break;
        case QMessageBox::No: {
            // The boxes go back to the stored values, which are what is built.
            const int side = panel_.SelectedSide;
            panel_.SelectedSide = 3;
            panel_.ComButton[static_cast<std::size_t>(side)].Pressed = true;
            SideToggleHandler(state_, panel_, side);
            refreshPanel();
            markStored();
            break;
        }
        default:
            return;
        }
    }
    ApplicationChoice choice = ApplicationChoice::None;
    if (applicationSelect_[0]->isChecked())
        choice = ApplicationChoice::Canopen;
    else if (applicationSelect_[1]->isChecked())
        choice = ApplicationChoice::DeviceNet;
    // Finish talks to the port that was scanned; another one in the list is
    // another gateway, which needs a connect of its own first.
    if (!CheckListedPort(state_, selectedPortName(), *ui_))
        return;
    const Profile window = BuildEdsFile(state_, *ui_, choice, port_.get());
    if (window == Profile::None)
        return;
    if (window == Profile::Canopen) {
        if (canopenWindow_ == nullptr)
            canopenWindow_ = new CanopenWindow(*this);
        canopenWindow_->show();
        canopenWindow_->raise();
        ui_->setMessageParent(canopenWindow_);
    } else {
        if (deviceNetWindow_ == nullptr)
            deviceNetWindow_ = new DeviceNetWindow(*this);
        deviceNetWindow_->show();
        deviceNetWindow_->raise();
        ui_->setMessageParent(deviceNetWindow_);
    }
    hide();
}

void MainWindow::profileWindowClosed()
{
    // The closing window deletes itself; the next "Build EDS File" makes a new one.
    canopenWindow_ = nullptr;
    deviceNetWindow_ = nullptr;
    ui_->setMessageParent(nullptr);
    show();
    raise();
    activateWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // A click on the main window while the scan dialog waits hands the keyboard back to the dialog.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && scanDialog_ != nullptr &&
        scanDialog_->isVisible())
        QTimer::singleShot(0, scanDialog_.data(), [dialog = scanDialog_] {
            if (dialog != nullptr && dialog->isVisible())
                dialog->activateWindow();
        });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (state_.GatewayBusy) {
        ShowMessage(this, FromCore(msg::GatewayBusy), FromCore(msg::ErrorTitle));
        event->ignore();
        return;
    }
    if (!AskYesNo(this, FromCore(msg::ExitQuestion), FromCore(msg::ExitQueryTitle))) {
        event->ignore();
        return;
    }
    // Every other window goes with the main window.
    delete scanDialog_.data();
    delete canopenWindow_.data();
    delete deviceNetWindow_.data();
    delete aboutWindow_.data();
    event->accept();
}

ScanParameterDialog* MainWindow::scanParameterDialog() const
{
    return scanDialog_.data();
}
CanopenWindow* MainWindow::canopenWindow() const
{
    return canopenWindow_.data();
}
DeviceNetWindow* MainWindow::deviceNetWindow() const
{
    return deviceNetWindow_.data();
}

}  // namespace k400::ui

#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
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
#include <QVBoxLayout>

#include "app/BuildEds.h"
#include "ui/AboutWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/Pictures.h"
#include "ui/QtUserInterface.h"
#include "ui/ScanParameterDialog.h"
#include "ui/SelectablePort.h"
#include "ui/WindowGeometry.h"
#include "ui/WindowParts.h"
#include "ui/CanopenWindow.h"
#include "ui/DeviceNetWindow.h"
#include "gateway/ConnectSequence.h"
#include "gateway/ConsoleLink.h"
#include "gateway/GatewayPort.h"
#include "gateway/GatewaySettings.h"
#include "platform/Messages.h"
#include "platform/PortNames.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/QtSerialPort.h"
#include "sim/SimulatedPort.h"

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
    QMenu* file = menuBar()->addMenu(FromCore(msg::FileMenu));
    file->setObjectName(QStringLiteral("File"));
    exitAction_ = file->addAction(FromCore(msg::ExitMenu));
    exitAction_->setObjectName(QStringLiteral("ExitProgram"));
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    aboutAction_ = menuBar()->addAction(FromCore(msg::AboutMenu));
    aboutAction_->setObjectName(QStringLiteral("About_"));
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::openAbout);

    auto* central = new QWidget(this);
    setCentralWidget(central);

    // Communication: port choice, Connect, progress, firmware and status.
    auto* communication = Named(new QGroupBox(FromCore(msg::CommunicationCaption), central), "CommunicationRegion");
    auto* label3 = Named(new QLabel(FromCore(msg::PcComPortLabel), communication), "Label3");
    comPort_ = Named(new QComboBox(communication), "ComPort");
    connect_ = Named(new QPushButton(FromCore(msg::ConnectButton), communication), "Connect");
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
    firmwareVer_->setReadOnly(true);
    auto* stateLabel = Named(new QLabel(FromCore(msg::StatusLabel), central), "State");
    communicationState_ = Named(new QLineEdit(central), "CommunicationState");
    communicationState_->setReadOnly(true);
    writeEds_ = Named(new QPushButton(FromCore(msg::BuildEdsButton), central), "WriteEDS");
    connect(writeEds_, &QPushButton::clicked, this, &MainWindow::buildEdsFile);
    exitProgram_ = Named(new QPushButton(FromCore(msg::ExitProgramButton), central), "EixtProgram");
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
        comButton_[i] = Named(new QPushButton(FromCore(msg::SelectButton), frame2), Indexed("ComButton", i));
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
    applicationLayerFrame_ = Named(new QGroupBox(FromCore(msg::ApplicationLayerCaption), paraSetting_), "ApplicationLayerFrame");
    auto* appLayout = new QHBoxLayout(applicationLayerFrame_);
    const char* applications[2] = {msg::CanopenName, msg::DeviceNetName};
    for (int i = 0; i < 2; ++i) {
        applicationSelect_[i] =
            Named(new QRadioButton(QString::fromLatin1(applications[i]), applicationLayerFrame_), Indexed("ApplicationSelect", i));
        // The handler decides which option is chosen; neither may be.
        applicationSelect_[i]->setAutoExclusive(false);
        connect(applicationSelect_[i], &QRadioButton::clicked, this, [this, i] { applicationOptionClicked(i); });
        appLayout->addWidget(applicationSelect_[i]);
    }
    paraSettingC1_ = Named(new QLabel(FromCore(msg::BaudRateLabel), paraSetting_), "ParaSettingC1");
    canBaudrate_ = Named(new QComboBox(paraSetting_), "CANBaudrate");
    paraSettingC2_[0] = Named(new QLabel(FromCore(msg::NodeIdLabel), paraSetting_), "ParaSettingC2_0");
    paraSettingC2_[1] = Named(new QLabel(FromCore(msg::TimeoutLabel), paraSetting_), "ParaSettingC2_1");
    canNodeId_ = Named(new QLineEdit(paraSetting_), "CANNodeId");
    paraSettingC0_ = Named(new QLabel(FromCore(msg::ChecksumLabel), paraSetting_), "ParaSettingC0");
    comChecksum_ = Named(new QComboBox(paraSetting_), "ComChecksum");
    settingParameter_ = Named(new QPushButton(FromCore(msg::SettingButton), paraSetting_), "SettingParameter");
    connect(settingParameter_, &QPushButton::clicked, this, &MainWindow::settingClicked);
    auto* setLayout = new QGridLayout(paraSetting_);
    setLayout->addWidget(applicationLayerFrame_, 0, 0, 1, 2);
    setLayout->addWidget(paraSettingC0_, 0, 0);
    setLayout->addWidget(comChecksum_, 0, 1);
    setLayout->addWidget(paraSettingC1_, 1, 0);
    setLayout->addWidget(canBaudrate_, 1, 1);
    setLayout->addWidget(paraSettingC2_[0], 2, 0);
    setLayout->addWidget(paraSettingC2_[1], 2, 0);
    setLayout->addWidget(canNodeId_, 2, 1);
    setLayout->addWidget(settingParameter_, 3, 1, Qt::AlignRight);
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
        viewerText_[i]->setReadOnly(true);
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
}

std::string MainWindow::selectedPortName() const
{
    const int index = comPort_->currentIndex();
    if (index < 0 || index >= static_cast<int>(portNames_.size()))
        return portNames_.front();
    return portNames_[static_cast<std::size_t>(index)];
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
    SettingHandler(state_, panel_, *ui_);
    refreshPanel();
}

void MainWindow::connectGateway()
{
    if (state_.GatewayBusy)
        return;
    port_->setPortName(selectedPortName());
    storePanelInput();
    if (RunConnectSequence(state_, *link_) == ConnectOutcome::Succeeded)
        PressCanSide(state_, panel_);
    refreshPanel();
}

void MainWindow::showConnectPhase(ConnectPhase phase)
{
    switch (phase) {
    case ConnectPhase::Started:
        ResetMainView(panel_);
        connect_->setEnabled(false);
        firmwareVer_->clear();
        comPort_->setEnabled(false);
        writeEds_->setEnabled(false);
        exitProgram_->setEnabled(false);
        break;
    case ConnectPhase::Released:
        releaseConnection();
        break;
    case ConnectPhase::Succeeded:
        ShowConnectResult(state_, panel_);
        firmwareVer_->setText(FromCore(FirmwareVersionText(state_)));
        comPort_->setEnabled(true);
        writeEds_->setEnabled(true);
        exitProgram_->setEnabled(true);
        connect_->setEnabled(true);
        break;
    }
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

void MainWindow::setStatusText(const QString& text) { communicationState_->setText(text); }

QString MainWindow::statusText() const { return communicationState_->text(); }

void MainWindow::setProgressValue(int value)
{
    progress_->setValue(value);
}

void MainWindow::setProgressVisible(bool visible) { progress_->setVisible(visible); }

void MainWindow::colourToggle(int side, std::uint32_t rgb)
{
    QPushButton* toggle = comButton_[static_cast<std::size_t>(side)];
    const QColor colour = QColor::fromRgb(static_cast<QRgb>(rgb));
    toggle->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #606060; "
                                         "border-radius: 3px; padding: 3px 10px; }")
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
}

void MainWindow::buildEdsFile()
{
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


ScanParameterDialog* MainWindow::scanParameterDialog() const { return scanDialog_.data(); }
CanopenWindow* MainWindow::canopenWindow() const { return canopenWindow_.data(); }
DeviceNetWindow* MainWindow::deviceNetWindow() const { return deviceNetWindow_.data(); }

}  // namespace k400::ui

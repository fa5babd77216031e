#include "ui/CanopenWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gateway/ConsoleLink.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "ui/CanopenViewers.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ModuleInfoViewer.h"
#include "ui/QtUserInterface.h"
#include "ui/StatusLine.h"
#include "ui/WindowGeometry.h"
#include "ui/WindowParts.h"

namespace k400::ui {

namespace {

QString NumberText(EnteredNumber value)
{
    return QString::number(static_cast<long long>(value));
}

}  // namespace

CanopenWindow::CanopenWindow(MainWindow& mainWindow)
    : QWidget(nullptr, Qt::Window), main_(mainWindow), configuration_(mainWindow.state(), mainWindow.userInterface())
{
    setObjectName(QStringLiteral("COPEDS_F"));
    setWindowTitle(FromCore(msg::CanopenTitle));
    buildControls();
    SizeAndCentre(this, 7770, 4580);
    main_.userInterface().setMessageParent(this);
    configuration_.Load();
    showChoices(configuration_.Choices());
    // An opened plan's choices, as if typed: Finish checks them.
    if (const std::optional<Plan> plan = main_.takePlanForProfile(Profile::Canopen)) {
        if (plan->HeartbeatMs) {
            selectErrorControl(1);
            heartbeat_->setText(QString::number(*plan->HeartbeatMs));
        } else if (plan->GuardTimeMs || plan->LifeFactor) {
            selectErrorControl(0);
            guardTime_[0]->setText(QString::number(plan->GuardTimeMs.value_or(0)));
            guardTime_[1]->setText(QString::number(plan->LifeFactor.value_or(0)));
        }
        edsInfo_[0]->setText(QString::fromStdString(plan->Description.value_or("")));
        edsInfo_[1]->setText(QString::fromStdString(plan->CreatedBy.value_or("")));
    }
}

CanopenWindow::~CanopenWindow()
{
    closeViewers();
}

void CanopenWindow::buildControls()
{
    frame1_ = new QGroupBox(FromCore(msg::ErrorControlCaption), this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    const char* options[2] = {msg::NodeGuardingOption, msg::HeartbeatOption};
    const char optionKeys[2] = {'N', 'H'};
    const char* optionTips[2] = {msg::NodeGuardingTip, msg::HeartbeatOptionTip};
    for (int i = 0; i < 2; ++i) {
        errControl_[i] = new QRadioButton(Mnemonic(options[i], optionKeys[i]), frame1_);
        errControl_[i]->setObjectName(Indexed("ErrControl", i));
        errControl_[i]->setToolTip(FromCore(optionTips[i]));
        connect(errControl_[i], &QRadioButton::clicked, this, [this, i] { selectErrorControl(i); });
        parameterFrame_[i] = new QGroupBox(FromCore(msg::ParameterSettingCaption), frame1_);
        parameterFrame_[i]->setObjectName(Indexed("ParameterSetting_frame", i));
        QSizePolicy policy = parameterFrame_[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        parameterFrame_[i]->setSizePolicy(policy);
    }
    auto* guardLayout = new QGridLayout(parameterFrame_[0]);
    const char* guardLabels[2] = {msg::GuardTimeLabel, msg::LifeFactorLabel};
    const char guardKeys[2] = {'G', 'L'};
    const char* guardTips[2] = {msg::GuardTimeTip, msg::LifeFactorTip};
    for (int i = 0; i < 2; ++i) {
        guardTime_[i] = new QLineEdit(parameterFrame_[0]);
        guardTime_[i]->setObjectName(Indexed("GuardTime_T", i));
        guardTime_[i]->setToolTip(FromCore(guardTips[i]));
        guardLayout->addWidget(BuddyLabel(guardLabels[i], guardKeys[i], guardTime_[i], parameterFrame_[0]), i, 0);
        guardLayout->addWidget(guardTime_[i], i, 1);
    }
    auto* heartbeatLayout = new QGridLayout(parameterFrame_[1]);
    heartbeat_ = new QLineEdit(parameterFrame_[1]);
    heartbeat_->setObjectName(QStringLiteral("Heartbeat_T"));
    heartbeat_->setToolTip(FromCore(msg::HeartbeatTimeTip));
    heartbeatLayout->addWidget(BuddyLabel(msg::HeartbeatLabel, 'u', heartbeat_, parameterFrame_[1]), 0, 0);
    heartbeatLayout->addWidget(heartbeat_, 0, 1);
    heartbeatLayout->setRowStretch(1, 1);

    auto* frameLayout = new QGridLayout(frame1_);
    frameLayout->addWidget(errControl_[0], 0, 0);
    frameLayout->addWidget(errControl_[1], 0, 1);
    // Both parameter frames take the same place; one is shown at a time.
    frameLayout->addWidget(parameterFrame_[0], 1, 0, 1, 2);
    frameLayout->addWidget(parameterFrame_[1], 1, 0, 1, 2);

    QGroupBox* edsRegion = BuildEdsInfoRegion(this, edsInfo_);

    QPushButton* pdo = NamedButton(this, msg::PdoInformationButton, 'P', "ShowSettingResult", msg::PdoViewTip,
                                   &CanopenWindow::openPdoView);
    QPushButton* dictionary = NamedButton(this, msg::DeviceInformationButton, 'I', "ShowObjDictionary",
                                          msg::DictionaryViewTip, &CanopenWindow::openObjectDictionary);
    QPushButton* tarn =
        NamedButton(this, msg::TarnInformation, 'T', "ShowTarn", msg::TarnViewTip, &CanopenWindow::openTarnInfo);
    finish_ = NamedButton(this, msg::FinishButton, 'F', "FinishButton", msg::FinishTip, &CanopenWindow::finish);
    back_ = NamedButton(this, msg::BackButton, 'B', "BackButton", msg::BackTip, &CanopenWindow::back);
    statusLine_ = new StatusLine(this);

    auto* viewers = new QVBoxLayout;
    viewers->addWidget(pdo);
    viewers->addWidget(dictionary);
    viewers->addWidget(tarn);
    viewers->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(frame1_, 1);
    top->addLayout(viewers);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(finish_);
    bottom->addWidget(back_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(edsRegion);
    layout->addLayout(bottom);
    layout->addWidget(statusLine_);

    // Tab in reading order: the protocol, the viewer buttons beside it, the EDS texts, Finish and Back.
    const std::array<QWidget*, 12> order = {
        errControl_[0], errControl_[1], guardTime_[0], guardTime_[1], heartbeat_, pdo,
        dictionary,     tarn,           edsInfo_[0],   edsInfo_[1],   finish_,    back_};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CanopenWindow::showChoices(const CanopenChoices& choices)
{
    guardTime_[0]->setText(NumberText(choices.GuardTimeMs));
    guardTime_[1]->setText(NumberText(choices.LifeFactor));
    heartbeat_->setText(NumberText(choices.HeartbeatMs));
    showMode(choices.Mode);
}

void CanopenWindow::showMode(ErrorControlMode mode)
{
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker block(errControl_[i]);
        errControl_[i]->setChecked(static_cast<int>(mode) == i);
    }
    parameterFrame_[0]->setVisible(mode == ErrorControlMode::NodeGuarding);
    parameterFrame_[1]->setVisible(mode == ErrorControlMode::Heartbeat);
}

CanopenChoices CanopenWindow::enteredChoices() const
{
    CanopenChoices choices;
    choices.Mode = errControl_[1]->isChecked() ? ErrorControlMode::Heartbeat : ErrorControlMode::NodeGuarding;
    choices.GuardTimeMs = NumericValue(guardTime_[0]->text().toStdString());
    choices.LifeFactor = NumericValue(guardTime_[1]->text().toStdString());
    choices.HeartbeatMs = NumericValue(heartbeat_->text().toStdString());
    return choices;
}

void CanopenWindow::closeViewers()
{
    CloseViewers({&pdoViewer_, &dictionaryViewer_, &tarnViewer_});
}

void CanopenWindow::selectErrorControl(int option)
{
    const ErrorControlMode mode = option == 1 ? ErrorControlMode::Heartbeat : ErrorControlMode::NodeGuarding;
    configuration_.SelectErrorControl(mode);
    showMode(mode);
}

void CanopenWindow::finish()
{
    if (!configuration_.ApplyChoices(enteredChoices()))
        return;
    if (main_.state().GatewayBusy)
        return;
    if (!configuration_.SetEdsInfo({ToEdsText(edsInfo_[0]->text()), ToEdsText(edsInfo_[1]->text())}))
        return;
    if (configuration_.MappingBuilt()) {
        // The viewers would show tables the console dialogue may change.
        closeViewers();
        frame1_->setEnabled(false);
    }
    AppContext& context = main_.context();
    FinishResult result;
    {
        const DialogueFeedback feedback(this, {finish_, back_}, statusLine_, context.link, msg::FinishProgress);
        result = configuration_.Finish(context.link, context.link.clock().localTime(), context.outputFolder);
    }
    if (result.done()) {
        main_.statusLine()->showWritten(result.edsPath);
        closing_ = true;
        close();
    }
}

void CanopenWindow::back()
{
    close();
}

void CanopenWindow::closeEvent(QCloseEvent* event)
{
    // A window already released by a successful Finish closes without asking again.
    if (!closing_ && !configuration_.RequestClose()) {
        event->ignore();
        return;
    }
    closeViewers();
    event->accept();
    deleteLater();
    main_.rememberChoices(configuration_.Choices());
    main_.profileWindowClosed();
}

void CanopenWindow::openPdoView()
{
    if (!configuration_.RequestViewer(CanopenViewer::Pdo))
        return;
    ShowViewer(
        pdoViewer_, [this] { return OpenPdoViewer(main_.state(), this); }, this);
}

void CanopenWindow::openObjectDictionary()
{
    if (!configuration_.RequestViewer(CanopenViewer::ObjectDictionary))
        return;
    ShowViewer(
        dictionaryViewer_, [this] { return OpenObjectDictionaryViewer(main_.state(), this); }, this);
}

void CanopenWindow::openTarnInfo()
{
    if (!configuration_.RequestViewer(CanopenViewer::ModuleInformation))
        return;
    ShowViewer(
        tarnViewer_, [this] { return OpenModuleInfoViewer(main_.state(), this); }, this);
}

TableViewer* CanopenWindow::pdoViewer() const
{
    return pdoViewer_.data();
}
TableViewer* CanopenWindow::objectDictionaryViewer() const
{
    return dictionaryViewer_.data();
}
TableViewer* CanopenWindow::tarnInfoViewer() const
{
    return tarnViewer_.data();
}

}  // namespace k400::ui

#include "ui/DeviceNetWindow.h"

#include <QCloseEvent>
#include <QComboBox>
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
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ModuleInfoViewer.h"
#include "ui/ObjectViewers.h"
#include "ui/QtUserInterface.h"
#include "ui/StatusLine.h"
#include "ui/WindowGeometry.h"
#include "ui/WindowParts.h"

namespace k400::ui {

namespace {

void Fill(QComboBox* box, const std::vector<std::string>& entries, int selected)
{
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& entry : entries)
        box->addItem(FromCore(entry));
    box->setCurrentIndex(selected >= 0 && selected < box->count() ? selected : (box->count() > 0 ? 0 : -1));
}
}  // namespace

DeviceNetWindow::DeviceNetWindow(MainWindow& mainWindow)
    : QWidget(nullptr, Qt::Window), main_(mainWindow), configuration_(mainWindow.state(), mainWindow.userInterface())
{
    setObjectName(QStringLiteral("DNSEdsSet"));
    setWindowTitle(FromCore(msg::DeviceNetTitle));
    buildControls();
    main_.userInterface().setMessageParent(this);
    configuration_.Load();
    // An opened plan's choices, each through its selector's checks.
    if (const std::optional<Plan> plan = main_.takePlanForProfile(Profile::DeviceNet)) {
        for (int k = 0; k < 3; ++k) {
            if (const auto& entry = plan->InputEntry[static_cast<std::size_t>(k)])
                configuration_.SelectInput(k, *entry);
            if (const auto& entry = plan->OutputEntry[static_cast<std::size_t>(k)])
                configuration_.SelectOutput(k, *entry);
        }
        if (plan->DefaultConnection)
            configuration_.SelectDefaultConnection(*plan->DefaultConnection);
        edsInfo_[0]->setText(QString::fromStdString(plan->Description.value_or("")));
        edsInfo_[1]->setText(QString::fromStdString(plan->CreatedBy.value_or("")));
    }
    render();
    // Sized for the filled selectors.
    adjustSize();
    CentreOnScreen(this);
}

DeviceNetWindow::~DeviceNetWindow()
{
    closeViewers();
}

void DeviceNetWindow::buildControls()
{
    QGroupBox* edsRegion = BuildEdsInfoRegion(this, edsInfo_);

    const char* frameNames[3] = {"Frame1", "Frame2", "Frame3"};
    const char* frameCaptions[3] = {msg::PollInfoCaption, msg::StrobeInfoCaption, msg::CosInfoCaption};
    const char* outputLabels[3] = {msg::ConsumedConnectionLabel, msg::UnusedOutputLabel, msg::UnusedOutputLabel};
    const char* outputTips[3] = {msg::ConsumedTip, msg::UnusedOutputTip, msg::UnusedOutputTip};
    auto* connections = new QHBoxLayout;
    for (int k = 0; k < 3; ++k) {
        auto* frame = new QGroupBox(QString::fromLatin1(frameCaptions[k]), this);
        frame->setObjectName(QString::fromLatin1(frameNames[k]));
        if (k == 0)
            frame1_ = frame;
        input_[k] = new QComboBox(frame);
        input_[k]->setObjectName(Indexed("InpPut", k));
        output_[k] = new QComboBox(frame);
        output_[k]->setObjectName(Indexed("OutPut", k));
        input_[k]->setToolTip(FromCore(msg::ProducedTip));
        output_[k]->setToolTip(FromCore(outputTips[k]));
        input_[k]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        output_[k]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto* layout = new QVBoxLayout(frame);
        layout->addWidget(new QLabel(FromCore(msg::ProducedConnectionLabel), frame));
        layout->addWidget(input_[k]);
        layout->addWidget(new QLabel(QString::fromLatin1(outputLabels[k]), frame));
        layout->addWidget(output_[k]);
        layout->addStretch(1);
        connections->addWidget(frame);
        connect(input_[k], &QComboBox::activated, this, [this, k](int index) {
            configuration_.SelectInput(k, index);
            render();
        });
        connect(output_[k], &QComboBox::activated, this, [this, k](int index) {
            configuration_.SelectOutput(k, index);
            render();
        });
    }

    auto* frame5 = new QGroupBox(FromCore(msg::DefaultIoCaption), this);
    frame5->setObjectName(QStringLiteral("Frame5"));
    auto* ioLayout = new QHBoxLayout(frame5);
    const char ioKeys[4] = {'P', 'S', 'C', 'y'};
    for (int i = 0; i < 4; ++i) {
        ioInfo_[i] =
            new QRadioButton(Mnemonic(msg::DefaultConnectionNames[static_cast<std::size_t>(i)], ioKeys[i]), frame5);
        ioInfo_[i]->setObjectName(Indexed("IO_Info", i));
        ioInfo_[i]->setToolTip(FromCore(msg::DefaultIoTip));
        ioLayout->addWidget(ioInfo_[i]);
        connect(ioInfo_[i], &QRadioButton::clicked, this, [this, i] {
            configuration_.SelectDefaultConnection(i);
            render();
        });
    }

    QPushButton* appObj = NamedButton(this, msg::ApplicationViewButton, 'A', "AppObj", msg::ApplicationViewTip,
                                      &DeviceNetWindow::openApplicationView);
    QPushButton* assembly = NamedButton(this, msg::AssemblyViewButton, 'O', "ShowSettingResult", msg::AssemblyViewTip,
                                        &DeviceNetWindow::openAssemblyView);
    QPushButton* tarn =
        NamedButton(this, msg::TarnInfoButton, 'V', "ShowTarnInf", msg::TarnViewTip, &DeviceNetWindow::openTarnInfo);
    finish_ = NamedButton(this, msg::FinishButton, 'F', "FinishDeviceSet", msg::FinishTip, &DeviceNetWindow::finish);
    back_ = NamedButton(this, msg::BackButton, 'B', "BackButton", msg::BackTip, &DeviceNetWindow::back);
    statusLine_ = new StatusLine(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(appObj);
    buttons->addWidget(assembly);
    buttons->addWidget(tarn);
    buttons->addStretch(1);
    buttons->addWidget(finish_);
    buttons->addWidget(back_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edsRegion);
    layout->addLayout(connections);
    layout->addWidget(frame5);
    layout->addLayout(buttons);
    layout->addWidget(statusLine_);
}

void DeviceNetWindow::render()
{
    const SelectorLists& lists = configuration_.Lists();
    const ConnectionChoices& choices = configuration_.Choices();
    for (int k = 0; k < 3; ++k) {
        Fill(input_[k], lists.Input, choices.InputSelection[static_cast<std::size_t>(k)]);
        Fill(output_[k], lists.Output, choices.OutputSelection[static_cast<std::size_t>(k)]);
    }
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker block(ioInfo_[i]);
        ioInfo_[i]->setChecked(choices.DefaultConnection == i);
    }
    finish_->setEnabled(configuration_.FinishEnabled());
}

void DeviceNetWindow::closeViewers()
{
    CloseViewers({&appViewer_, &assemblyViewer_, &tarnViewer_});
}

void DeviceNetWindow::finish()
{
    if (main_.state().GatewayBusy || !configuration_.FinishEnabled())
        return;
    if (!configuration_.SetEdsInfo({ToEdsText(edsInfo_[0]->text()), ToEdsText(edsInfo_[1]->text())}))
        return;
    delete tarnViewer_.data();
    // Shown disabled while the console dialogue runs; its pacing lets events in.
    frame1_->setEnabled(false);
    finish_->setEnabled(false);
    AppContext& context = main_.context();
    FinishResult result;
    {
        const DialogueFeedback feedback(this, {finish_, back_}, statusLine_, context.link, msg::FinishProgress);
        result = configuration_.Finish(context.link, context.link.clock().localTime(), context.outputFolder);
    }
    render();
    if (result.done()) {
        main_.statusLine()->showWritten(result.edsPath);
        closing_ = true;
        close();
    }
}

void DeviceNetWindow::back()
{
    if (configuration_.Back()) {
        render();
        closing_ = true;
        close();
    }
}

void DeviceNetWindow::closeEvent(QCloseEvent* event)
{
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

void DeviceNetWindow::openApplicationView()
{
    ShowViewer(
        appViewer_, [this] { return OpenApplicationObjectViewer(main_.state(), this); }, this);
}

void DeviceNetWindow::openAssemblyView()
{
    ShowViewer(
        assemblyViewer_, [this] { return OpenAssemblyObjectViewer(main_.state(), this); }, this);
}

void DeviceNetWindow::openTarnInfo()
{
    ShowViewer(
        tarnViewer_, [this] { return OpenModuleInfoViewer(main_.state(), this); }, this);
}

TableViewer* DeviceNetWindow::applicationViewer() const
{
    return appViewer_.data();
}
TableViewer* DeviceNetWindow::assemblyViewer() const
{
    return assemblyViewer_.data();
}
TableViewer* DeviceNetWindow::tarnInfoViewer() const
{
    return tarnViewer_.data();
}

}  // namespace k400::ui

#include "devicenet/ui/DeviceNetWindow.h"

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

#include "app/ui/MainWindow.h"
#include "app/ui/MessageBoxes.h"
#include "app/ui/QtUserInterface.h"
#include "app/ui/WindowGeometry.h"
#include "app/ui/WindowParts.h"
#include "devicenet/ui/ObjectViewers.h"
#include "modules/ui/ModuleInfoViewer.h"

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
    : QWidget(nullptr, Qt::Window), main_(mainWindow), logic_(mainWindow.state(), mainWindow.userInterface())
{
    setObjectName(QStringLiteral("DNSEdsSet"));
    setWindowTitle(QStringLiteral("DeviceNet EDS File Setting"));
    buildControls();
    main_.userInterface().setMessageParent(this);
    logic_.Load();
    render();
    // Sized for the filled selectors.
    adjustSize();
    CentreOnScreen(this);
}

DeviceNetWindow::~DeviceNetWindow() { closeViewers(); }

void DeviceNetWindow::buildControls()
{
    QGroupBox* edsRegion = BuildEdsInfoRegion(this, edsInfo_);

    const char* frameNames[3] = {"Frame1", "Frame2", "Frame3"};
    const char* frameCaptions[3] = {"Poll Info", "Strobe Info", "COS/Cyclic Info"};
    const char* outputLabels[3] = {"Consumed Connection", "xxxxxxxxxxxx", "xxxxxxxxxxxx"};
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
        input_[k]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        output_[k]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto* layout = new QVBoxLayout(frame);
        layout->addWidget(new QLabel(QStringLiteral("Produced Connection"), frame));
        layout->addWidget(input_[k]);
        layout->addWidget(new QLabel(QString::fromLatin1(outputLabels[k]), frame));
        layout->addWidget(output_[k]);
        layout->addStretch(1);
        connections->addWidget(frame);
        connect(input_[k], &QComboBox::activated, this, [this, k](int index) {
            logic_.SelectInput(k, index);
            render();
        });
        connect(output_[k], &QComboBox::activated, this, [this, k](int index) {
            logic_.SelectOutput(k, index);
            render();
        });
    }

    auto* frame5 = new QGroupBox(QStringLiteral("Default IO Info"), this);
    frame5->setObjectName(QStringLiteral("Frame5"));
    auto* ioLayout = new QHBoxLayout(frame5);
    for (int i = 0; i < 4; ++i) {
        ioInfo_[i] = new QRadioButton(FromCore(DefaultConnectionNames[static_cast<std::size_t>(i)]), frame5);
        ioInfo_[i]->setObjectName(Indexed("IO_Info", i));
        ioLayout->addWidget(ioInfo_[i]);
        connect(ioInfo_[i], &QRadioButton::clicked, this, [this, i] {
            logic_.SelectDefaultConnection(i);
            render();
        });
    }

    QPushButton* appObj = NamedButton(this, "Application View", "AppObj", &DeviceNetWindow::openApplicationView);
    QPushButton* assembly =
        NamedButton(this, "Assembly Objcet View", "ShowSettingResult", &DeviceNetWindow::openAssemblyView);
    QPushButton* tarn = NamedButton(this, "View Tarn Info", "ShowTarnInf", &DeviceNetWindow::openTarnInfo);
    finish_ = NamedButton(this, "Finish", "FinishDeviceSet", &DeviceNetWindow::finish);
    QPushButton* backButton = NamedButton(this, "Back", "BackButton", &DeviceNetWindow::back);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(appObj);
    buttons->addWidget(assembly);
    buttons->addWidget(tarn);
    buttons->addStretch(1);
    buttons->addWidget(finish_);
    buttons->addWidget(backButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edsRegion);
    layout->addLayout(connections);
    layout->addWidget(frame5);
    layout->addLayout(buttons);
}

void DeviceNetWindow::render()
{
    const SelectorLists& lists = logic_.Lists();
    const ConnectionChoices& choices = logic_.Choices();
    for (int k = 0; k < 3; ++k) {
        Fill(input_[k], lists.Input, choices.InputSelection[static_cast<std::size_t>(k)]);
        Fill(output_[k], lists.Output, choices.OutputSelection[static_cast<std::size_t>(k)]);
    }
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker block(ioInfo_[i]);
        ioInfo_[i]->setChecked(choices.DefaultConnection == i);
    }
    frame1_->setEnabled(logic_.Frame1Enabled());
    finish_->setEnabled(logic_.FinishEnabled());
}

void DeviceNetWindow::closeViewers()
{
    CloseViewers({&appViewer_, &assemblyViewer_, &tarnViewer_});
}

void DeviceNetWindow::finish()
{
    logic_.EdsInfo = {edsInfo_[0]->text().toLocal8Bit().toStdString(), edsInfo_[1]->text().toLocal8Bit().toStdString()};
    if (!main_.state().GatewayBusy && logic_.FinishEnabled()) {
        delete tarnViewer_.data();
        // Shown disabled while the console dialogue runs; its pacing lets events in.
        frame1_->setEnabled(false);
        finish_->setEnabled(false);
    }
    logic_.Finish(main_.context().link, main_.context().outputFolder);
    render();
    if (!logic_.IsOpen())
        close();
}

void DeviceNetWindow::back()
{
    if (logic_.Back()) {
        render();
        close();
    }
}

void DeviceNetWindow::closeEvent(QCloseEvent* event)
{
    if (!logic_.Unload()) {
        event->ignore();
        return;
    }
    closeViewers();
    event->accept();
    deleteLater();
    main_.profileWindowClosed();
}

void DeviceNetWindow::openApplicationView()
{
    ShowViewer(appViewer_, [this] { return OpenApplicationObjectViewer(main_.state(), this); });
}

void DeviceNetWindow::openAssemblyView()
{
    ShowViewer(assemblyViewer_, [this] { return OpenAssemblyObjectViewer(main_.state(), this); });
}

void DeviceNetWindow::openTarnInfo()
{
    ShowViewer(tarnViewer_, [this] { return OpenModuleInfoViewer(main_.state(), this); });
}


TableViewer* DeviceNetWindow::applicationViewer() const { return appViewer_.data(); }
TableViewer* DeviceNetWindow::assemblyViewer() const { return assemblyViewer_.data(); }
TableViewer* DeviceNetWindow::tarnInfoViewer() const { return tarnViewer_.data(); }

}  // namespace k400::ui

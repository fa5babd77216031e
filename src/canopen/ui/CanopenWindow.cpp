#include "canopen/ui/CanopenWindow.h"

#include <QCloseEvent>
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
#include "canopen/ui/CanopenViewers.h"
#include "gateway/ConsoleLink.h"
#include "modules/ui/ModuleInfoViewer.h"

namespace k400::ui {

namespace {

void SetText(QLineEdit* box, const std::string& text)
{
    const QString value = FromCore(text);
    if (box->text() != value)
        box->setText(value);
}
}  // namespace

CanopenWindow::CanopenWindow(MainWindow& mainWindow)
    : QWidget(nullptr, Qt::Window), main_(mainWindow), logic_(mainWindow.state(), mainWindow.userInterface())
{
    setObjectName(QStringLiteral("COPEDS_F"));
    setWindowTitle(QStringLiteral("EDS File Configuration & Information Viewer"));
    buildControls();
    SizeAndCentre(this, 7770, 4580);
    main_.userInterface().setMessageParent(this);
    // Finish closes the viewers before it talks to the gateway.
    logic_.closeViewers = [this] {
        closeViewers();
        frame1_->setEnabled(false);
    };
    logic_.Load();
    render();
}

CanopenWindow::~CanopenWindow() { closeViewers(); }

void CanopenWindow::buildControls()
{
    frame1_ = new QGroupBox(QStringLiteral("Error Control Protocol"), this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    const char* options[2] = {"Node Guarding Protocol", "Heartbeat Protocol"};
    for (int i = 0; i < 2; ++i) {
        errControl_[i] = new QRadioButton(QString::fromLatin1(options[i]), frame1_);
        errControl_[i]->setObjectName(Indexed("ErrControl", i));
        connect(errControl_[i], &QRadioButton::clicked, this, [this, i] { selectErrorControl(i); });
        parameterFrame_[i] = new QGroupBox(QStringLiteral("Parameter Setting"), frame1_);
        parameterFrame_[i]->setObjectName(Indexed("ParameterSetting_frame", i));
        QSizePolicy policy = parameterFrame_[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        parameterFrame_[i]->setSizePolicy(policy);
    }
    auto* guardLayout = new QGridLayout(parameterFrame_[0]);
    const char* guardLabels[2] = {"Guard Time (1ms)", "Life factor"};
    for (int i = 0; i < 2; ++i) {
        guardTime_[i] = new QLineEdit(parameterFrame_[0]);
        guardTime_[i]->setObjectName(Indexed("GuardTime_T", i));
        guardLayout->addWidget(new QLabel(QString::fromLatin1(guardLabels[i]), parameterFrame_[0]), i, 0);
        guardLayout->addWidget(guardTime_[i], i, 1);
    }
    auto* heartbeatLayout = new QGridLayout(parameterFrame_[1]);
    heartbeat_ = new QLineEdit(parameterFrame_[1]);
    heartbeat_->setObjectName(QStringLiteral("Heartbeat_T"));
    heartbeatLayout->addWidget(new QLabel(QStringLiteral("Consumer Heartbeat Time (1ms)"), parameterFrame_[1]), 0, 0);
    heartbeatLayout->addWidget(heartbeat_, 0, 1);
    heartbeatLayout->setRowStretch(1, 1);

    auto* frameLayout = new QGridLayout(frame1_);
    frameLayout->addWidget(errControl_[0], 0, 0);
    frameLayout->addWidget(errControl_[1], 0, 1);
    // Both parameter frames take the same place; one is shown at a time.
    frameLayout->addWidget(parameterFrame_[0], 1, 0, 1, 2);
    frameLayout->addWidget(parameterFrame_[1], 1, 0, 1, 2);

    QGroupBox* edsRegion = BuildEdsInfoRegion(this, edsInfo_);

    QPushButton* pdo = NamedButton(this, "PDO Information", "ShowSettingResult", &CanopenWindow::openPdoView);
    QPushButton* dictionary =
        NamedButton(this, "Device Information", "ShowObjDictionary", &CanopenWindow::openObjectDictionary);
    QPushButton* tarn = NamedButton(this, "TARN Information", "ShowTarn", &CanopenWindow::openTarnInfo);
    QPushButton* finishButton = NamedButton(this, "Finish", "FinishButton", &CanopenWindow::finish);
    QPushButton* backButton = NamedButton(this, "Back", "BackButton", &CanopenWindow::back);

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
    bottom->addWidget(finishButton);
    bottom->addWidget(backButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(edsRegion);
    layout->addLayout(bottom);
}

void CanopenWindow::render()
{
    const CanopenWindowView& view = logic_.view();
    SetText(guardTime_[0], view.GuardTimeText);
    SetText(guardTime_[1], view.LifeFactorText);
    SetText(heartbeat_, view.HeartbeatText);
    SetText(edsInfo_[0], view.EdsInfo[0]);
    SetText(edsInfo_[1], view.EdsInfo[1]);
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker block(errControl_[i]);
        errControl_[i]->setChecked(static_cast<int>(view.Option) == i);
    }
    parameterFrame_[0]->setVisible(view.NodeGuardingFrameVisible);
    parameterFrame_[1]->setVisible(view.HeartbeatFrameVisible);
    frame1_->setEnabled(view.Frame1Enabled);
}

void CanopenWindow::storeInput()
{
    CanopenWindowView& view = logic_.view();
    view.GuardTimeText = guardTime_[0]->text().toStdString();
    view.LifeFactorText = guardTime_[1]->text().toStdString();
    view.HeartbeatText = heartbeat_->text().toStdString();
    // The EDS file carries these texts in the system's 8-bit character set.
    view.EdsInfo = {edsInfo_[0]->text().toLocal8Bit().toStdString(), edsInfo_[1]->text().toLocal8Bit().toStdString()};
}

void CanopenWindow::closeViewers()
{
    CloseViewers({&pdoViewer_, &dictionaryViewer_, &tarnViewer_});
}

void CanopenWindow::selectErrorControl(int option)
{
    storeInput();
    logic_.SelectErrorControl(option == 1 ? ErrorControlOption::Heartbeat : ErrorControlOption::NodeGuarding);
    render();
}

void CanopenWindow::finish()
{
    storeInput();
    AppContext& context = main_.context();
    logic_.Finish(context.link, context.link.clock(), context.outputFolder);
    render();
    if (logic_.view().Closed)
        close();
}

void CanopenWindow::back() { close(); }

void CanopenWindow::closeEvent(QCloseEvent* event)
{
    // A window already released by a successful Finish closes without asking again.
    if (!logic_.view().Closed && !logic_.RequestClose()) {
        event->ignore();
        return;
    }
    closeViewers();
    event->accept();
    deleteLater();
    main_.profileWindowClosed();
}

void CanopenWindow::openPdoView()
{
    if (!logic_.RequestViewer(CanopenViewer::Pdo))
        return;
    ShowViewer(pdoViewer_, [this] { return OpenPdoViewer(main_.state(), this); });
}

void CanopenWindow::openObjectDictionary()
{
    if (!logic_.RequestViewer(CanopenViewer::ObjectDictionary))
        return;
    ShowViewer(dictionaryViewer_, [this] { return OpenObjectDictionaryViewer(main_.state(), this); });
}

void CanopenWindow::openTarnInfo()
{
    if (!logic_.RequestViewer(CanopenViewer::ModuleInformation))
        return;
    ShowViewer(tarnViewer_, [this] { return OpenModuleInfoViewer(main_.state(), this); });
}


TableViewer* CanopenWindow::pdoViewer() const { return pdoViewer_.data(); }
TableViewer* CanopenWindow::objectDictionaryViewer() const { return dictionaryViewer_.data(); }
TableViewer* CanopenWindow::tarnInfoViewer() const { return tarnViewer_.data(); }

}  // namespace k400::ui

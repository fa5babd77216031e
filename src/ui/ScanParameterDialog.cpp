#include "ui/ScanParameterDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gateway/GatewaySettings.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/QtUserInterface.h"
#include "ui/WindowGeometry.h"

namespace k400::ui {

ScanParameterDialog::ScanParameterDialog(MainWindow* mainWindow)
    : QWidget(nullptr, Qt::Dialog), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("ComParaSetting_F"));
    setWindowTitle(FromCore(msg::ScanDialogTitle));
    // Not a child of the main window: that one is disabled while this is open.
    setWindowModality(Qt::NonModal);

    auto* outer = new QGroupBox(FromCore(msg::ScanFrameCaption), this);
    outer->setObjectName(QStringLiteral("Frame1"));
    auto* com2 = new QGroupBox(FromCore(msg::Com2Caption), outer);
    com2->setObjectName(QStringLiteral("Frame2"));
    baud_ = new QComboBox(com2);
    baud_->setObjectName(QStringLiteral("ScanBaudrateCombol"));
    checksum_ = new QComboBox(com2);
    checksum_->setObjectName(QStringLiteral("ScanChecksumCombol"));
    timeout_ = new QLineEdit(com2);
    timeout_->setObjectName(QStringLiteral("ScanTimeout"));
    auto* grid = new QGridLayout(com2);
    grid->addWidget(new QLabel(FromCore(msg::ScanBaudLabel), com2), 0, 0);
    grid->addWidget(baud_, 0, 1);
    grid->addWidget(new QLabel(FromCore(msg::ScanChecksumLabel), com2), 1, 0);
    grid->addWidget(checksum_, 1, 1);
    grid->addWidget(new QLabel(FromCore(msg::ScanTimeoutLabel), com2), 2, 0);
    grid->addWidget(timeout_, 2, 1);
    grid->setColumnStretch(1, 1);
    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->addWidget(com2);

    ok_ = new QPushButton(FromCore(msg::OkButton), this);
    ok_->setObjectName(QStringLiteral("ScanSettingOkButton"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(outer);
    layout->addWidget(ok_, 0, Qt::AlignHCenter);
    adjustSize();
    setMinimumWidth(TwipsToPixels(4200, this));
}

void ScanParameterDialog::load(const ScanParameters& current)
{
    chosen_.reset();
    baud_->clear();
    for (const char* entry : msg::ScanBaudList)
        baud_->addItem(FromCore(entry));
    checksum_->clear();
    for (const char* entry : msg::ScanChecksumList)
        checksum_->addItem(FromCore(entry));
    baud_->setCurrentIndex(current.BaudIndex < msg::ScanBaudList.size() ? current.BaudIndex : 3);
    checksum_->setCurrentIndex(current.ChecksumIndex < msg::ScanChecksumList.size() ? current.ChecksumIndex : 0);
    timeout_->setText(QString::number(static_cast<long>(current.TimeoutMs)));
    adjustSize();
    CentreOnScreen(this);
}

bool ScanParameterDialog::unload()
{
    const ScanParameters entered{static_cast<std::uint8_t>(std::max(0, baud_->currentIndex())),
                                 static_cast<std::uint8_t>(std::max(0, checksum_->currentIndex())),
                                 NumericValue(timeout_->text().toStdString())};
    if (!CheckScanParameters(entered, mainWindow_->userInterface()))
        return false;
    chosen_ = entered;
    return true;
}

void ScanParameterDialog::closeEvent(QCloseEvent* event)
{
    if (!unload()) {
        event->ignore();
        return;
    }
    mainWindow_->setEnabled(true);
    event->accept();
}

}  // namespace k400::ui

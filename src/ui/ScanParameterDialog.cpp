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
#include "ui/WindowParts.h"

namespace k400::ui {

ScanParameterDialog::ScanParameterDialog(MainWindow* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("ComParaSetting_F"));
    setWindowTitle(FromCore(msg::ScanDialogTitle));
    // Above the main window and the only one taking input while open.
    setWindowModality(Qt::WindowModal);

    auto* outer = new QGroupBox(FromCore(msg::ScanFrameCaption), this);
    outer->setObjectName(QStringLiteral("Frame1"));
    auto* com2 = new QGroupBox(FromCore(msg::Com2Caption), outer);
    com2->setObjectName(QStringLiteral("Frame2"));
    baud_ = new QComboBox(com2);
    baud_->setObjectName(QStringLiteral("ScanBaudrateCombol"));
    baud_->setToolTip(FromCore(msg::ScanBaudTip));
    checksum_ = new QComboBox(com2);
    checksum_->setObjectName(QStringLiteral("ScanChecksumCombol"));
    checksum_->setToolTip(FromCore(msg::ScanChecksumTip));
    timeout_ = new QLineEdit(com2);
    timeout_->setObjectName(QStringLiteral("ScanTimeout"));
    timeout_->setToolTip(FromCore(msg::ScanTimeoutTip));
    auto* grid = new QGridLayout(com2);
    grid->addWidget(BuddyLabel(msg::ScanBaudLabel, 'B', baud_, com2), 0, 0);
    grid->addWidget(baud_, 0, 1);
    grid->addWidget(BuddyLabel(msg::ScanChecksumLabel, 'C', checksum_, com2), 1, 0);
    grid->addWidget(checksum_, 1, 1);
    grid->addWidget(BuddyLabel(msg::ScanTimeoutLabel, 'T', timeout_, com2), 2, 0);
    grid->addWidget(timeout_, 2, 1);
    grid->setColumnStretch(1, 1);
    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->addWidget(com2);

    ok_ = NamedButton(this, msg::OkButton, 'O', "ScanSettingOkButton", msg::ScanOkTip);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(outer);
    layout->addWidget(ok_, 0, Qt::AlignHCenter);
    adjustSize();
    setMinimumWidth(std::max(TwipsToPixels(4200, this), TitleWidth(this, windowTitle())));
}

void ScanParameterDialog::load(const ScanParameters& current)
{
    loaded_ = current;
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
    baud_->setFocus(Qt::OtherFocusReason);
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
    mainWindow_->setInputEnabled(true);
    return true;
}

void ScanParameterDialog::accept()
{
    if (unload())
        QDialog::accept();
}

void ScanParameterDialog::reject()
{
    chosen_ = loaded_;
    mainWindow_->setInputEnabled(true);
    QDialog::reject();
}

void ScanParameterDialog::closeEvent(QCloseEvent* event)
{
    // The close box stores what is entered, as OK does.
    if (!unload()) {
        event->ignore();
        return;
    }
    setResult(QDialog::Accepted);
    event->accept();
}

}  // namespace k400::ui

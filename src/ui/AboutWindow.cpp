#include "ui/AboutWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Messages.h"
#include "ui/MessageBoxes.h"
#include "ui/Pictures.h"
#include "ui/WindowGeometry.h"
#include "ui/WindowParts.h"

namespace k400::ui {

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(FromCore(msg::AboutMenu));

    QLabel* title = TitleLabel(FromCore(msg::ProductName), this, 1.5);
    auto* version = new QLabel(FromCore(msg::AboutVersion), this);
    version->setObjectName(QStringLiteral("Version"));
    auto* date = new QLabel(FromCore(msg::AboutDate), this);
    date->setObjectName(QStringLiteral("Date"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture"));
    picture->setPixmap(LogoPicture(QSize(TwipsToPixels(2400, this), TwipsToPixels(1000, this))));

    auto* support = new QGroupBox(FromCore(msg::SupportCaption), this);
    support->setObjectName(FromCore(msg::SupportCaption));
    auto* supportLayout = new QVBoxLayout(support);
    supportLayout->addWidget(new QLabel(FromCore(msg::SupportDeviceNet), support));
    supportLayout->addWidget(new QLabel(FromCore(msg::SupportCanopen), support));

    // Not modal; Return and Escape close it.
    QPushButton* ok = NamedButton(this, msg::OkButton, 'O', "Command1", msg::CloseTip);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1);
    layout->addWidget(title, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(date, 2, 1);
    layout->addWidget(support, 3, 0, 1, 2);
    layout->addWidget(ok, 4, 1, Qt::AlignRight);

    adjustSize();
    CentreOnScreen(this);
}

}  // namespace k400::ui

#include "ui/SplashWindow.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/Messages.h"
#include "ui/MessageBoxes.h"
#include "ui/Pictures.h"
#include "ui/WindowGeometry.h"
#include "ui/WindowParts.h"

namespace k400::ui {

SplashWindow::SplashWindow(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Logo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(248, 249, 252));
    setPalette(pal);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(24, 18, 24, 18);
    QLabel* title = TitleLabel(FromCore(msg::ProductName), frame, 1.8);
    title->setAlignment(Qt::AlignCenter);
    auto* subtitle = new QLabel(FromCore(msg::SplashSubtitle), frame);
    subtitle->setAlignment(Qt::AlignCenter);
    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("Picture"));
    picture->setPixmap(LogoPicture(QSize(TwipsToPixels(4800, this), TwipsToPixels(1500, this))));
    picture->setAlignment(Qt::AlignCenter);
    auto* revision = new QLabel(FromCore(msg::SplashRevision), frame);
    revision->setObjectName(QStringLiteral("Revision"));
    revision->setAlignment(Qt::AlignRight);

    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(8);
    layout->addWidget(picture);
    layout->addSpacing(8);
    layout->addWidget(revision);

    adjustSize();
    CentreOnScreen(this);
}

}  // namespace k400::ui

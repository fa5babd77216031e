#include "ui/WindowGeometry.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace k400::ui {

namespace {
QScreen* ScreenOf(const QWidget* widget)
{
    if (widget != nullptr && widget->screen() != nullptr)
        return widget->screen();
    return QGuiApplication::primaryScreen();
}
}  // namespace

int TwipsToPixels(int twips, const QWidget* widget)
{
    double dpi = 96.0;
    if (QScreen* screen = ScreenOf(widget))
        dpi = screen->logicalDotsPerInch();
    if (dpi <= 0)
        dpi = 96.0;
    return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

void CentreOnScreen(QWidget* window)
{
    QScreen* screen = ScreenOf(window);
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size().expandedTo(window->size());
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

int TitleWidth(const QWidget* window, const QString& title)
{
    constexpr int FrameExtraPixels = 140;
    QFont font = window->font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + FrameExtraPixels;
}

void SizeAndCentre(QWidget* window, int widthTwips, int heightTwips)
{
    window->resize(TwipsToPixels(widthTwips, window), TwipsToPixels(heightTwips, window));
    CentreOnScreen(window);
}

}  // namespace k400::ui

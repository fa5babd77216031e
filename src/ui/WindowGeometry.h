#pragma once
// Window sizes are given in twips (1/1440 inch); they follow the screen's
// logical DPI so that a window keeps its proportions on large fonts.

#include <QString>

class QWidget;

namespace k400::ui {

int TwipsToPixels(int twips, const QWidget* widget = nullptr);
// Sets the window's size from twips and centres it on its screen.
void SizeAndCentre(QWidget* window, int widthTwips, int heightTwips);
void CentreOnScreen(QWidget* window);
// The width a window needs for the window manager to show its whole title
// (the title in a bold font, and the frame's icon and buttons beside it).
int TitleWidth(const QWidget* window, const QString& title);

}  // namespace k400::ui

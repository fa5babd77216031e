#pragma once
// Controls several windows build alike: indexed object names, named buttons,
// the EDS information region, big titles and the viewer windows a profile
// window opens.

#include <array>
#include <functional>
#include <initializer_list>
#include <string>

#include <QPointer>
#include <QPushButton>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace k400::ui {

class TableViewer;

// "Name_3": the object name of element 3 of a control array.
QString Indexed(const char* name, int index);

QPushButton* NamedButton(QWidget* parent, const char* caption, const char* name);

// A named button whose click calls the window's handler.
template <typename Window>
QPushButton* NamedButton(Window* window, const char* caption, const char* name, void (Window::*handler)())
{
    QPushButton* button = NamedButton(static_cast<QWidget*>(window), caption, name);
    QObject::connect(button, &QPushButton::clicked, window, handler);
    return button;
}

// A bold title label, its font scaled by `scale`.
QLabel* TitleLabel(const QString& text, QWidget* parent, double scale);

// A description or creator box's text as the profiles take it: UTF-8, which
// the EDS writers turn into Windows-1252 (a character without a byte there
// is refused by SetEdsInfo).
std::string ToEdsText(const QString& text);

// "EDS File Information" (EDSRegion) with the description and creator boxes (EDSInfo_0, EDSInfo_1).
QGroupBox* BuildEdsInfoRegion(QWidget* parent, std::array<QLineEdit*, 2>& boxes);

// Opens the viewer on first use, then brings it to the front.
void ShowViewer(QPointer<TableViewer>& viewer, const std::function<TableViewer*()>& open);

void CloseViewers(std::initializer_list<QPointer<TableViewer>*> viewers);

}  // namespace k400::ui

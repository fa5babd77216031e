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

// The caption with the mnemonic marker before the first `key` (any case);
// an ampersand of the caption itself is kept as text. key 0: none.
QString Mnemonic(const char* caption, char key);

// A named push button with a mnemonic and a tooltip; Return clicks it when it
// has the focus, in any window.
QPushButton* NamedButton(QWidget* parent, const char* caption, char key, const char* name, const char* tip);

// A named button whose click calls the window's handler.
template <typename Window>
QPushButton* NamedButton(Window* window, const char* caption, char key, const char* name, const char* tip,
                         void (Window::*handler)())
{
    QPushButton* button = NamedButton(static_cast<QWidget*>(window), caption, key, name, tip);
    QObject::connect(button, &QPushButton::clicked, window, handler);
    return button;
}

// A label whose mnemonic moves the focus to `buddy`.
QLabel* BuddyLabel(const char* caption, char key, QWidget* buddy, QWidget* parent);

// Read-only boxes take a click (to copy their text) but are no tab stop.
void MakeReadOnly(QLineEdit* box, const char* tip);

// A bold title label, its font scaled by `scale`.
QLabel* TitleLabel(const QString& text, QWidget* parent, double scale);

// A description or creator box's text as the profiles take it: UTF-8, which
// the EDS writers turn into Windows-1252 (a character without a byte there
// is refused by SetEdsInfo).
std::string ToEdsText(const QString& text);

// "EDS File Information" (EDSRegion) with the description and creator boxes (EDSInfo_0, EDSInfo_1).
QGroupBox* BuildEdsInfoRegion(QWidget* parent, std::array<QLineEdit*, 2>& boxes);

// Opens the viewer on first use, where it was last left or else beside
// `owner` (not over its buttons), then brings it to the front.
void ShowViewer(QPointer<TableViewer>& viewer, const std::function<TableViewer*()>& open, QWidget* owner);

void CloseViewers(std::initializer_list<QPointer<TableViewer>*> viewers);

}  // namespace k400::ui

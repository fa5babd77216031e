#pragma once
// Every message box of the desktop program goes through here, so that tests
// can see and answer them without a modal loop: with a hook installed the box
// is not shown, the hook records it and gives the answer.

#include <functional>
#include <string_view>

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace k400::ui {

struct MessageBoxRequest {
    QString text;
    QString title;  // as asked for; empty = no title of its own
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList details;  // lines of a read-only list under the text; none: no list
};

// The button the user pressed (ignored for OK boxes).
using MessageBoxHook = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;

void SetMessageBoxHook(MessageBoxHook hook);

// The icon a core message gets: warning for a refusal of what the user asked,
// information for a notice, critical for anything that failed (unknown texts
// are errors the platform described).
QMessageBox::Icon SeverityIcon(const QString& text);

// Boxes are window-modal to their parent (application-modal without one).
// OK box with the icon of its text's severity. A box with no title of its own
// shows the program's name.
void ShowMessage(QWidget* parent, const QString& text, const QString& title);
void ShowMessage(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon);
// OK box listing a result's lines (object name "Details") under its text.
void ShowResult(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon,
                const QStringList& details);
// Yes/No box; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text, const QString& title);
// Yes/No/Cancel box; Escape and the close box answer Cancel.
QMessageBox::StandardButton AskYesNoCancel(QWidget* parent, const QString& text, const QString& title);

QString FromCore(std::string_view text);

}  // namespace k400::ui

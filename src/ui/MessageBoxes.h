#pragma once
// Every message box of the desktop program goes through here, so that tests
// can see and answer them without a modal loop: with a hook installed the box
// is not shown, the hook records it and gives the answer.

#include <functional>
#include <string_view>

#include <QString>

class QWidget;

namespace k400::ui {

struct MessageBoxRequest {
    QString text;
    QString title;    // as asked for; empty = no title of its own
    bool question;    // Yes/No box
};

// Returns true for Yes (ignored for OK boxes).
using MessageBoxHook = std::function<bool(const MessageBoxRequest&)>;

void SetMessageBoxHook(MessageBoxHook hook);

// OK box. An empty title gives the program's own name as title.
void ShowMessage(QWidget* parent, const QString& text, const QString& title);
// Yes/No box; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text, const QString& title);

QString FromCore(std::string_view text);

}  // namespace k400::ui

#include "ui/MessageBoxes.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace k400::ui {

namespace {
MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

QString TitleOrProgramName(const QString& title)
{
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

void ShowMessage(QWidget* parent, const QString& text, const QString& title)
{
    if (Hook()) {
        Hook()({text, title, false});
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, TitleOrProgramName(title), text, QMessageBox::Ok, parent);
    if (title == QLatin1String("Error"))
        box.setIcon(QMessageBox::Critical);
    else if (title.startsWith(QLatin1String("Warn")))
        box.setIcon(QMessageBox::Warning);
    else
        box.setIcon(QMessageBox::Information);
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& text, const QString& title)
{
    if (Hook())
        return Hook()({text, title, true});
    QMessageBox box(QMessageBox::Question, TitleOrProgramName(title), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString FromCore(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace k400::ui

#include "ui/MessageBoxes.h"

#include <QGridLayout>
#include <QSpacerItem>

#include <string>

#include "platform/Messages.h"
#include "ui/WindowGeometry.h"

namespace k400::ui {

namespace {
MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

QMessageBox::StandardButton Run(QWidget* parent, MessageBoxRequest request, QMessageBox::StandardButton defaultButton)
{
    if (Hook())
        return Hook()(request);
    const QString title = request.title.isEmpty() ? FromCore(msg::ProductName) : request.title;
    QMessageBox box(request.icon, title, request.text, request.buttons, parent);
    box.setDefaultButton(defaultButton);
    // A box narrower than its title has the window manager elide the title.
    const int wanted = TitleWidth(&box, title);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
// A composed message with \x01 for each part filled in: whether text is one of its kind.
bool OfKind(const QString& text, const std::string& composed)
{
    const QString pattern = FromCore(composed);
    return text.startsWith(pattern.left(pattern.indexOf(QChar(1)))) &&
           text.endsWith(pattern.mid(pattern.lastIndexOf(QChar(1)) + 1));
}
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

QMessageBox::Icon SeverityIcon(const QString& text)
{
    static const char* const refusals[] = {
        msg::TimeoutOutOfRange,  msg::CanopenNodeIdOutOfRange, msg::DeviceNetNodeIdOutOfRange, msg::NodeIdError,
        msg::GatewayBusy,        msg::GuardTimeOverflow,       msg::LifeFactorOverflow,        msg::HeartbeatOverflow,
        msg::NoObjectAvailable,  msg::NoChannelAvailable,      msg::StrobeTooLong,             msg::NotFinished,
        msg::StoredImageMismatch, msg::StoredSelectionError};
    static const std::string composedRefusals[] = {msg::PortChangedSinceConnect("\x01", "\x01"),
                                                   msg::NotInEdsCharacterSet("\x01", "\x01")};
    static const char* const notices[] = {msg::NewDeviceNetSetting};
    for (const char* refusal : refusals)
        if (text == QLatin1String(refusal))
            return QMessageBox::Warning;
    for (const std::string& refusal : composedRefusals)
        if (OfKind(text, refusal))
            return QMessageBox::Warning;
    for (const char* notice : notices)
        if (text == QLatin1String(notice))
            return QMessageBox::Information;
    return QMessageBox::Critical;
}

void ShowMessage(QWidget* parent, const QString& text, const QString& title)
{
    ShowMessage(parent, text, title, SeverityIcon(text));
}

void ShowMessage(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon)
{
    Run(parent, {text, title, QMessageBox::Ok, icon}, QMessageBox::Ok);
}

bool AskYesNo(QWidget* parent, const QString& text, const QString& title)
{
    return Run(parent, {text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question}, QMessageBox::No) ==
           QMessageBox::Yes;
}

QMessageBox::StandardButton AskYesNoCancel(QWidget* parent, const QString& text, const QString& title)
{
    return Run(parent,
               {text, title, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question},
               QMessageBox::Yes);
}

QString FromCore(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace k400::ui

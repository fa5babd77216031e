#include "ui/MessageBoxes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>

#include <algorithm>
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
    if (parent != nullptr)
        box.setWindowModality(Qt::WindowModal);
    // A box narrower than its title has the window manager elide the title.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(TitleWidth(&box, title), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// A message box keeps itself narrow (at most 1000 pixels, less on a small
// screen) and wraps long lines: a result's lines get a dialog of their own
// that the user can widen.
void RunResult(QWidget* parent, const MessageBoxRequest& request)
{
    QDialog box(parent);
    box.setObjectName(QStringLiteral("ResultBox"));
    box.setWindowTitle(request.title.isEmpty() ? FromCore(msg::ProductName) : request.title);
    if (parent != nullptr)
        box.setWindowModality(Qt::WindowModal);
    auto* icon = new QLabel(&box);
    const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    const QStyle::StandardPixmap pictures[] = {QStyle::SP_CustomBase, QStyle::SP_MessageBoxInformation,
                                               QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical,
                                               QStyle::SP_MessageBoxQuestion};  // by QMessageBox::Icon
    if (request.icon != QMessageBox::NoIcon)
        icon->setPixmap(box.style()->standardIcon(pictures[request.icon], nullptr, &box).pixmap(side, side));
    auto* text = new QLabel(request.text, &box);
    text->setObjectName(QStringLiteral("ResultText"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* list = new QListWidget(&box);
    list->setObjectName(QStringLiteral("Details"));
    list->addItems(request.details);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                          box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) + 8);
    list->setMinimumHeight(list->sizeHintForRow(0) * static_cast<int>(std::min<qsizetype>(request.details.size(), 16)) +
                           2 * list->frameWidth() + 4);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* grid = new QGridLayout(&box);
    grid->addWidget(icon, 0, 0, Qt::AlignTop);
    grid->addWidget(text, 0, 1);
    grid->addWidget(list, 1, 0, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 2);
    grid->addItem(new QSpacerItem(TitleWidth(&box, box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed), 3,
                  0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    box.exec();
}

// A composed message with \x01 for each part filled in: whether text is one of its kind.
bool OfKind(const QString& text, const std::string& composed)
{
    const QString pattern = FromCore(composed);
    return text.startsWith(pattern.left(pattern.indexOf(QChar(1)))) &&
           text.endsWith(pattern.mid(pattern.lastIndexOf(QChar(1)) + 1));
}
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}

QMessageBox::Icon SeverityIcon(const QString& text)
{
    static const char* const refusals[] = {msg::TimeoutOutOfRange,
                                           msg::CanopenNodeIdOutOfRange,
                                           msg::DeviceNetNodeIdOutOfRange,
                                           msg::NodeIdError,
                                           msg::GatewayBusy,
                                           msg::GuardTimeOverflow,
                                           msg::LifeFactorOverflow,
                                           msg::HeartbeatOverflow,
                                           msg::NoObjectAvailable,
                                           msg::NoChannelAvailable,
                                           msg::StrobeTooLong,
                                           msg::NotFinished,
                                           msg::StoredImageMismatch,
                                           msg::StoredSelectionError,
                                           msg::RestoreInvalidBackup};
    static const std::string composedRefusals[] = {msg::PortChangedSinceConnect("\x01", "\x01"),
                                                   msg::NotInEdsCharacterSet("\x01", "\x01"),
                                                   msg::RestoreModulesDiffer("\x01")};
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
    Run(parent, {text, title, QMessageBox::Ok, icon, {}}, QMessageBox::Ok);
}

void ShowResult(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon,
                const QStringList& details)
{
    const MessageBoxRequest request{text, title, QMessageBox::Ok, icon, details};
    if (Hook())
        Hook()(request);
    else if (details.isEmpty())
        Run(parent, request, QMessageBox::Ok);
    else
        RunResult(parent, request);
}

bool AskYesNo(QWidget* parent, const QString& text, const QString& title)
{
    return Run(parent, {text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, {}}, QMessageBox::No) ==
           QMessageBox::Yes;
}

QMessageBox::StandardButton AskYesNoCancel(QWidget* parent, const QString& text, const QString& title)
{
    return Run(parent,
               {text, title, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question, {}},
               QMessageBox::Yes);
}

QString FromCore(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace k400::ui

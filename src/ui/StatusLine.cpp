#include "ui/StatusLine.h"

#include <filesystem>

#include <QDesktopServices>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include "gateway/ConsoleLink.h"
#include "platform/Messages.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowParts.h"

namespace k400::ui {

namespace {
// Longer than the slices a wait is cut into, so the indicator does not flicker.
constexpr int QuietAfterMs = 300;
}  // namespace

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusLine"));
    setSizeGripEnabled(false);
    busy_ = new QProgressBar(this);
    busy_->setObjectName(QStringLiteral("ReplyBusy"));
    busy_->setRange(0, 0);  // moving to and fro: activity without a known end
    busy_->setTextVisible(false);
    busy_->setMaximumWidth(90);
    busy_->setMaximumHeight(fontMetrics().height());
    busy_->setToolTip(FromCore(msg::ReplyAwaited));
    busy_->hide();
    openFolder_ = NamedButton(this, msg::OpenFolderButton, 'l', "OpenFolder", msg::OpenFolderTip);
    openFolder_->hide();
    connect(openFolder_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder_)); });
    addPermanentWidget(openFolder_);
    addPermanentWidget(busy_);
    quiet_.setSingleShot(true);
    quiet_.setInterval(QuietAfterMs);
    connect(&quiet_, &QTimer::timeout, this, [this] { busy_->setVisible(dialogue_); });
}

void StatusLine::replyAwaited()
{
    busy_->show();
    quiet_.start();
}

void StatusLine::setBusy(bool busy)
{
    dialogue_ = busy;
    quiet_.stop();
    busy_->setVisible(busy);
}

void StatusLine::say(const QString& text)
{
    openFolder_->hide();
    showMessage(text);
}

void StatusLine::showWritten(const std::string& path)
{
    const std::filesystem::path file(path);
    folder_ = QString::fromStdString(file.parent_path().string());
    showMessage(FromCore(msg::EdsWritten(file.filename().string(), file.parent_path().string())));
    openFolder_->show();
}

DialogueFeedback::DialogueFeedback(QWidget* window, std::initializer_list<QWidget*> controls, StatusLine* line,
                                   ConsoleLink& link, ProgressText progress)
    : window_(window), line_(line), link_(link), progress_(progress), observer_(link.StepObserver)
{
    for (QWidget* control : controls) {
        controls_.emplace_back(control, control->isEnabled());
        control->setEnabled(false);
    }
    setCloseBox(false);
    line_->say(FromCore(progress_(0)));
    line_->setBusy(true);
    link_.StepObserver = [this](const LinkStep& step) {
        if (observer_)
            observer_(step);
        line_->say(FromCore(progress_(++exchanges_)));
    };
}

DialogueFeedback::~DialogueFeedback()
{
    link_.StepObserver = observer_;
    line_->idle();
    for (auto [control, enabled] : controls_)
        control->setEnabled(enabled);
    setCloseBox(true);
}

void DialogueFeedback::setCloseBox(bool on)
{
    if (window_ == nullptr)
        return;
    // A window without the close box names the decorations it keeps.
    const Qt::WindowFlags withoutClose = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowMinMaxButtonsHint;
    const bool shown = window_->isVisible();
    window_->setWindowFlags(on ? Qt::WindowFlags(Qt::Window) : withoutClose);
    // Changing a shown window's flags hides it; it comes back where it was.
    if (shown)
        window_->show();
}

}  // namespace k400::ui

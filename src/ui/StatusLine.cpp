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

FinishFeedback::FinishFeedback(QWidget* window, std::initializer_list<QPushButton*> buttons, StatusLine* line,
                               ConsoleLink& link)
    : window_(window), line_(line), link_(link), observer_(link.StepObserver)
{
    for (QPushButton* button : buttons) {
        buttons_.emplace_back(button, button->isEnabled());
        button->setEnabled(false);
    }
    setCloseBox(false);
    line_->say(FromCore(msg::FinishProgress(0)));
    line_->setBusy(true);
    link_.StepObserver = [this](const LinkStep& step) {
        if (observer_)
            observer_(step);
        line_->say(FromCore(msg::FinishProgress(++exchanges_)));
    };
}

FinishFeedback::~FinishFeedback()
{
    link_.StepObserver = observer_;
    line_->idle();
    for (auto [button, enabled] : buttons_)
        button->setEnabled(enabled);
    setCloseBox(true);
}

void FinishFeedback::setCloseBox(bool on)
{
    // A window without the close box names the decorations it keeps.
    const Qt::WindowFlags withoutClose =
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint;
    const bool shown = window_->isVisible();
    window_->setWindowFlags(on ? Qt::WindowFlags(Qt::Window) : withoutClose);
    // Changing a shown window's flags hides it; it comes back where it was.
    if (shown)
        window_->show();
}

}  // namespace k400::ui

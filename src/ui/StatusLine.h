#pragma once
// The status line at the foot of a window: a busy indicator while a reply of
// the gateway is awaited, what a long wait has reached so far, and after a
// file was written its name and folder with a button that opens the folder.
// The windows' own status boxes keep their fixed texts; this line adds to them.

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <QStatusBar>
#include <QTimer>

class QProgressBar;
class QPushButton;

namespace k400 {
class ConsoleLink;
struct LinkStep;
}  // namespace k400

namespace k400::ui {

class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent);

    // A reply is awaited now: the busy indicator shows, and goes once no
    // wait has followed for a moment.
    void replyAwaited();
    // A dialogue with the gateway runs (the indicator stays) or has ended
    // (it goes at once).
    void setBusy(bool busy);
    void idle() { setBusy(false); }
    void say(const QString& text);
    // The file written, named with its folder; the folder can be opened.
    void showWritten(const std::string& path);

    QString text() const { return currentMessage(); }
    QProgressBar* busyIndicator() const { return busy_; }
    QPushButton* openFolderButton() const { return openFolder_; }

private:
    QProgressBar* busy_ = nullptr;
    QPushButton* openFolder_ = nullptr;
    QString folder_;
    QTimer quiet_;
    bool dialogue_ = false;
};

// For as long as a dialogue with the gateway runs (a Finish, a backup read or
// restore): the status line counts the console exchanges, the controls given
// are off, and so is the window's close box (the close is refused anyway
// while the gateway is busy; no window: left alone).
class DialogueFeedback {
public:
    using ProgressText = std::string (*)(int exchanges);

    DialogueFeedback(QWidget* window, std::initializer_list<QWidget*> controls, StatusLine* line, ConsoleLink& link,
                     ProgressText progress);
    ~DialogueFeedback();
    DialogueFeedback(const DialogueFeedback&) = delete;
    DialogueFeedback& operator=(const DialogueFeedback&) = delete;

private:
    void setCloseBox(bool on);

    QWidget* window_;
    std::vector<std::pair<QWidget*, bool>> controls_;
    StatusLine* line_;
    ConsoleLink& link_;
    ProgressText progress_;
    std::function<void(const LinkStep&)> observer_;
    int exchanges_ = 0;
};

}  // namespace k400::ui

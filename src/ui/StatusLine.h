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
}

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

// For as long as a Finish runs: its window counts the console exchanges in
// its status line, and its Finish and Back buttons and close box are off
// (the close is refused anyway while the gateway is busy).
class FinishFeedback {
public:
    FinishFeedback(QWidget* window, std::initializer_list<QPushButton*> buttons, StatusLine* line, ConsoleLink& link);
    ~FinishFeedback();
    FinishFeedback(const FinishFeedback&) = delete;
    FinishFeedback& operator=(const FinishFeedback&) = delete;

private:
    void setCloseBox(bool on);

    QWidget* window_;
    std::vector<std::pair<QPushButton*, bool>> buttons_;
    StatusLine* line_;
    ConsoleLink& link_;
    std::function<void(const LinkStep&)> observer_;
    int exchanges_ = 0;
};

}  // namespace k400::ui

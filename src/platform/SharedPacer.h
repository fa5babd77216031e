#pragma once
// One thread that paces the lines of many console sessions at once.
//
// The console drops characters that come in a burst, so every session sends
// one character and then pauses. A session doing that on its own thread wakes
// once per character; with many sessions those wake-ups are a large part of
// the processor time a batch uses (on a virtual machine each costs tens of
// microseconds). The pacer instead writes, in each pass, the next character
// of every line waiting, so N sessions cost one wake-up per pass.
//
// Passes keep to a fixed timetable, a little more than paceMs apart, so that
// a session can tell from it when its line will be out and sleep until then:
// the pacer does not have to wake it, which would cost as much again. Only
// when the pacer falls behind its timetable does the session wait for it.
//
// A session's next character goes out only when its last one (of this line
// or the one before) went out at least paceMs before: after a pass the pacer
// was held up in, later in the pass than the others. Its characters are
// never closer than paceMs, as when a session paces itself.
//
// A line is written through a LineWriter the session hands in with it: the
// pacer's thread calls it while the session waits in send(), so the port is
// never used from two threads at once.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/SerialPort.h"

namespace k400 {

class SharedPacer {
public:
    using Steady = std::chrono::steady_clock;

    explicit SharedPacer(int paceMs);
    ~SharedPacer();

    SharedPacer(const SharedPacer&) = delete;
    SharedPacer& operator=(const SharedPacer&) = delete;

    int paceMs() const { return paceMs_; }

    // What the pacer keeps of one session from one line to its next.
    struct Sender {
        Steady::time_point lastWrite;
    };

    // Writes `line` one byte per pass and returns once its last byte is out:
    // on the timetable, a pause after the pass that sent it. False, with the
    // rest unsent, when a write fails (seen when the line would have ended).
    bool send(std::string_view line, const LineWriter& write, Sender& sender);

private:
    // Shared by the session and the pacer, so that the pacer can signal the
    // end after letting go of its lock and the session still find it alive.
    struct Job {
        std::string text;
        std::size_t next = 0;
        const LineWriter* write = nullptr;
        Steady::time_point lastWrite;  // when the session's last byte went out
        bool ok = true;
        std::mutex lock;
        std::condition_variable finished;
        bool done = false;     // every byte out, or a write failed
        bool waiting = false;  // the session waits to be told (the pacer fell behind)
    };

    void run();
    // One pass: the next byte of every job, each once a pace has passed since
    // its last; jobs whose bytes are all out end.
    void pass();

    const int paceMs_;
    const Steady::duration pace_;
    const Steady::duration period_;  // between passes: a little more than pace_
    std::mutex lock_;
    std::condition_variable work_;
    // Under lock_:
    std::vector<std::shared_ptr<Job>> arrived_;  // handed in, not yet taken by the pacer
    bool running_ = false;                       // on its timetable (else idle)
    Steady::time_point nextPass_;                // the pass that takes the jobs arrived
    bool stopping_ = false;
    // The pacer's own:
    std::vector<std::shared_ptr<Job>> active_;
    std::thread thread_;
};

}  // namespace k400

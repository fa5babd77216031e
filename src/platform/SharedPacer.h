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
// Passes start paceMs apart. A session's next character goes out in a pass
// only when its last one went out at least paceMs before (a pass the pacer
// was held up in may make it wait one more): its characters are never closer
// than paceMs, as when a session paces itself.
// A line handed in while the pacer is idle starts at once; while it is busy,
// at its next pass.
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
    explicit SharedPacer(int paceMs);
    ~SharedPacer();

    SharedPacer(const SharedPacer&) = delete;
    SharedPacer& operator=(const SharedPacer&) = delete;

    int paceMs() const { return paceMs_; }

    // Writes `line` one byte per pass and returns one pass after the last
    // byte (the pause that follows it). False, with the rest unsent, when a
    // write fails.
    bool send(std::string_view line, const LineWriter& write);

private:
    // Shared by the session and the pacer, so that the pacer can signal the
    // end after letting go of its lock and the session still find it alive.
    struct Job {
        std::string text;
        std::size_t next = 0;
        const LineWriter* write = nullptr;
        std::chrono::steady_clock::time_point lastWrite;  // when its last byte went out
        bool ok = true;
        // A condition variable rather than a semaphore: it waits in the
        // system at once, where a semaphore first spins and yields.
        std::mutex lock;
        std::condition_variable finished;
        bool done = false;
    };

    void run();
    // One pass: the next byte of every job whose last one went out at least a
    // pace ago; then the jobs whose bytes are all out, a pace after the last,
    // end and are signalled.
    void pass();

    const int paceMs_;
    std::mutex lock_;
    std::condition_variable work_;
    std::vector<std::shared_ptr<Job>> arrived_;  // handed in, not yet taken by the pacer (under lock_)
    std::vector<std::shared_ptr<Job>> active_;   // the pacer's own
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace k400

#include "platform/SharedPacer.h"

#include <algorithm>

namespace k400 {

namespace {

// A session wakes a pace after the pass that sent its last byte, reads the
// reply and hands in its next line before the pass after: the time it has
// for that, a twentieth of the pace (250 us at 5 ms), is what the timetable
// adds to every pass. Eight sessions waking at once on two processors of a
// virtual machine need most of it.
std::chrono::steady_clock::duration Slack(int paceMs)
{
    return std::chrono::microseconds(std::max(paceMs, 0) * 1000 / 20);
}

}  // namespace

SharedPacer::SharedPacer(int paceMs)
    : paceMs_(paceMs), pace_(std::chrono::milliseconds(paceMs)), period_(pace_ + Slack(paceMs)),
      thread_([this] { run(); })
{
}

SharedPacer::~SharedPacer()
{
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    work_.notify_one();
    thread_.join();
}

bool SharedPacer::send(std::string_view line, const LineWriter& write, Sender& sender)
{
    auto job = std::make_shared<Job>();
    job->text = line;
    job->write = &write;
    job->lastWrite = sender.lastWrite;
    bool wake = false;
    Steady::time_point firstPass;
    {
        std::lock_guard guard(lock_);
        if (!running_) {
            running_ = true;
            nextPass_ = Steady::now();
            wake = true;
        }
        firstPass = nextPass_;
        arrived_.push_back(job);
    }
    if (wake)
        work_.notify_one();

    // On the timetable the last byte goes out in the pass at lastPass. A sleep
    // rather than a timed wait for the pacer's signal: after one of those the
    // system library takes the lock as if contended, and letting go of it
    // then costs a system call per line. A failed write, which ends the line
    // early, is seen when it would have ended.
    const auto lastPass = firstPass + static_cast<int>(line.empty() ? 0 : line.size() - 1) * period_;
    std::this_thread::sleep_until(lastPass + pace_);
    std::unique_lock hold(job->lock);
    if (!job->done) {
        // Behind its timetable: the pacer tells when the line is out, and the
        // pause after it is counted from then.
        job->waiting = true;
        job->finished.wait(hold, [&] { return job->done; });
        hold.unlock();
        if (job->ok)
            std::this_thread::sleep_until(job->lastWrite + pace_);
    }
    sender.lastWrite = job->lastWrite;
    return job->ok;
}

void SharedPacer::pass()
{
    std::vector<std::shared_ptr<Job>> ended;
    // Writes the job's next byte; true when that ends it.
    const auto writeNext = [&](const std::shared_ptr<Job>& job) {
        if (job->next < job->text.size()) {
            job->lastWrite = Steady::now();
            job->ok = (*job->write)(std::string_view(job->text).substr(job->next++, 1));
            if (job->ok && job->next < job->text.size())
                return false;
        }
        ended.push_back(job);
        return true;
    };
    // A session whose last byte went out less than a pace ago (the pass
    // before was held up) has its byte written once the pace has passed,
    // still in this pass: skipping it to the next would end its line a pass
    // later than its session expects.
    std::vector<std::shared_ptr<Job>> early;
    std::erase_if(active_, [&](const std::shared_ptr<Job>& job) {
        if (job->next < job->text.size() && Steady::now() - job->lastWrite < pace_) {
            early.push_back(job);
            return false;
        }
        return writeNext(job);
    });
    std::sort(early.begin(), early.end(), [](const auto& a, const auto& b) { return a->lastWrite < b->lastWrite; });
    for (const auto& job : early) {
        std::this_thread::sleep_until(job->lastWrite + pace_);
        if (writeNext(job))
            std::erase(active_, job);
    }
    // After the writes, so that the time the signals take never shifts a write.
    for (const auto& job : ended) {
        bool tell = false;
        {
            std::lock_guard guard(job->lock);
            job->done = true;
            tell = job->waiting;
        }
        if (tell)
            job->finished.notify_one();
    }
}

void SharedPacer::run()
{
    bool idlePass = true;  // starts idle, waiting for a line
    for (;;) {
        Steady::time_point at;
        {
            std::unique_lock guard(lock_);
            // Idle after a pass with nothing to write, so that a session that
            // sends its next line on the timetable finds the pacer still on it.
            if (idlePass && arrived_.empty()) {
                running_ = false;
                work_.wait(guard, [&] { return stopping_ || !arrived_.empty(); });
            }
            if (stopping_)
                return;
            at = nextPass_;
        }
        std::this_thread::sleep_until(at);
        {
            std::lock_guard guard(lock_);
            active_.insert(active_.end(), arrived_.begin(), arrived_.end());
            arrived_.clear();
            // Held up for more than a pass: a new timetable from now, rather
            // than passes in a burst to catch up with the old one.
            const auto now = Steady::now();
            nextPass_ = at + period_ < now ? now + period_ : at + period_;
        }
        idlePass = active_.empty();
        pass();
    }
}

}  // namespace k400

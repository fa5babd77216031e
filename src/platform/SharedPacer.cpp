#include "platform/SharedPacer.h"

#include <chrono>

namespace k400 {

SharedPacer::SharedPacer(int paceMs) : paceMs_(paceMs), thread_([this] { run(); }) {}

SharedPacer::~SharedPacer()
{
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    work_.notify_one();
    thread_.join();
}

bool SharedPacer::send(std::string_view line, const LineWriter& write)
{
    auto job = std::make_shared<Job>();
    job->text = line;
    job->write = &write;
    {
        std::lock_guard guard(lock_);
        arrived_.push_back(job);
    }
    // No system call when the pacer is busy and not waiting for work.
    work_.notify_one();
    std::unique_lock waiting(job->lock);
    job->finished.wait(waiting, [&] { return job->done; });
    return job->ok;
}

void SharedPacer::pass()
{
    using Steady = std::chrono::steady_clock;
    const auto pace = std::chrono::milliseconds(paceMs_);
    std::vector<std::shared_ptr<Job>> ended;
    std::erase_if(active_, [&](const std::shared_ptr<Job>& job) {
        const auto now = Steady::now();
        if (now - job->lastWrite < pace)
            return false;
        if (job->next < job->text.size()) {
            job->lastWrite = now;
            job->ok = (*job->write)(std::string_view(job->text).substr(job->next++, 1));
            if (job->ok)
                return false;
        }
        ended.push_back(job);
        return true;
    });
    // After the writes, so that the time the wake-ups take never shifts a write.
    for (const auto& job : ended) {
        {
            std::lock_guard guard(job->lock);
            job->done = true;
        }
        job->finished.notify_one();
    }
}

void SharedPacer::run()
{
    for (;;) {
        {
            std::unique_lock guard(lock_);
            // Idle: the first line handed in starts at once. Busy: a line
            // handed in meanwhile waits for the next pass, which keeps every
            // session in step with the others.
            if (active_.empty())
                work_.wait(guard, [&] { return stopping_ || !arrived_.empty(); });
            if (stopping_)
                return;
            active_.insert(active_.end(), arrived_.begin(), arrived_.end());
            arrived_.clear();
        }
        // Timed from the start of the pass, so that the writes of many
        // sessions do not stretch the pace of each.
        const auto start = std::chrono::steady_clock::now();
        pass();
        if (!active_.empty())
            std::this_thread::sleep_until(start + std::chrono::milliseconds(paceMs_));
    }
}

}  // namespace k400

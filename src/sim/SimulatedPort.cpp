#include "sim/SimulatedPort.h"

#include <algorithm>

namespace k400 {

SimulatedPort::SimulatedPort(Scenario scenario, Clock& clock) : console_(std::move(scenario)), clock_(clock) {}

PortOpenError SimulatedPort::open()
{
    if (!nextOpenError_.ok()) {
        PortOpenError error = std::move(nextOpenError_);
        nextOpenError_ = {};
        return error;
    }
    if (console_.vanished())
        return {PortOpenError::Kind::Other, "The simulated gateway has disappeared"};
    if (!open_) {
        open_ = true;
        input_.clear();
        console_.takeOutput(clock_.nowMs());  // what came while closed is gone
    }
    return {};
}

void SimulatedPort::close()
{
    open_ = false;
    input_.clear();
}

void SimulatedPort::pump()
{
    std::string arrived = console_.takeOutput(clock_.nowMs());
    if (isOpen())
        input_ += arrived;
}

std::size_t SimulatedPort::inputCount()
{
    pump();
    return input_.size();
}

void SimulatedPort::write(std::string_view data)
{
    if (!isOpen())
        return;
    console_.receive(data, clock_.nowMs());
}

std::string SimulatedPort::readAll()
{
    pump();
    std::string out;
    out.swap(input_);
    return out;
}

void SimulatedPort::clearInput()
{
    pump();
    input_.clear();
}

bool SimulatedPort::waitForInput(int timeoutMs)
{
    const std::int64_t deadline = clock_.nowMs() + std::max(timeoutMs, 0);
    for (;;) {
        pump();
        if (!input_.empty())
            return true;
        const std::int64_t now = clock_.nowMs();
        if (now >= deadline)
            return false;
        // Time passes even for a closed or vanished port, so callers' time-outs still run out.
        std::int64_t wakeAt = deadline;
        if (const auto next = console_.nextReleaseMs(); isOpen() && next && *next < wakeAt)
            wakeAt = std::max(*next, now + 1);
        clock_.sleepMs(static_cast<int>(wakeAt - now));
    }
}

}  // namespace k400

#pragma once
// Time as the core sees it: a monotonic millisecond tick for reply time-outs,
// a sleep for pacing, and the local calendar time for images and EDS files.
// Tests inject a fake so that time-outs of many seconds run instantly.

#include <cstdint>

namespace k400 {

struct LocalDateTime {
    int Year = 0;
    int Month = 0;  // 1..12
    int Day = 0;    // 1..31
    int Hour = 0;   // 0..23
    int Minute = 0;
    int Second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() = 0;  // monotonic
    virtual void sleepMs(int ms) = 0;
    virtual LocalDateTime localTime() = 0;
};

// The machine's clocks (std::chrono steady clock and local time).
class SystemClock final : public Clock {
public:
    std::int64_t nowMs() override;
    void sleepMs(int ms) override;
    LocalDateTime localTime() override;
};

}  // namespace k400

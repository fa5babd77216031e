#pragma once
// A clock that only moves when something sleeps on it, so that time-outs of
// many seconds run instantly and exactly.

#include <cstdint>

#include "platform/Clock.h"

namespace k400::test {

class FakeClock final : public Clock {
public:
    std::int64_t nowMs() override { return now_; }
    void sleepMs(int ms) override
    {
        if (ms > 0)
            now_ += ms;
    }
    LocalDateTime localTime() override { return local; }

    void advance(std::int64_t ms) { now_ += ms; }

    LocalDateTime local{2008, 1, 24, 13, 45, 10};

private:
    std::int64_t now_ = 1'000'000;
};

}  // namespace k400::test

#include "platform/WaitSeconds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace k400 {

void WaitSeconds(Clock& clock, UserInterface& ui, double seconds)
{
    constexpr int SliceMs = 10;
    const std::int64_t start = clock.nowMs();
    const double limitMs = seconds * 1000.0;
    for (;;) {
        ui.pumpEvents();
        const double elapsed = static_cast<double>(clock.nowMs() - start);
        if (!(elapsed < limitMs))  // also ends a NaN wait
            return;
        const double remaining = std::ceil(limitMs - elapsed);
        clock.sleepMs(static_cast<int>(std::min<double>(remaining, SliceMs)));
    }
}

}  // namespace k400

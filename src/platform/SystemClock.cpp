#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "platform/SystemCalls.h"

namespace k400 {

std::int64_t SystemClock::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleepMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

LocalDateTime SystemClock::localTime()
{
    const std::tm tm = LocalCalendarTime(std::time(nullptr));
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace k400

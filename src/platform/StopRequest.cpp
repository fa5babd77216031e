#include "platform/StopRequest.h"

#include <csignal>

namespace k400 {

namespace {

volatile std::sig_atomic_t stopSignal = 0;
volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t guarded = 0;

}  // namespace

void RequestStop(int signal) noexcept
{
    if (!stopRequested)
        stopSignal = signal;
    stopRequested = 1;
}

bool StopRequested() noexcept
{
    return stopRequested != 0;
}

int StopSignal() noexcept
{
    return stopSignal;
}

void ClearStopRequest() noexcept
{
    stopRequested = 0;
    stopSignal = 0;
}

GuardedWork::GuardedWork() noexcept
{
    guarded = 1;
}

GuardedWork::~GuardedWork()
{
    guarded = 0;
}

bool InGuardedWork() noexcept
{
    return guarded != 0;
}

}  // namespace k400

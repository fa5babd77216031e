#pragma once
// A stop asked for from outside (a signal on the command line) while a
// gateway dialogue runs. The request is a flag a signal handler may set;
// the procedures that must not be cut at an arbitrary point (the EEPROM
// write) look at it only where stopping leaves the gateway in a state they
// can describe. Everything here is async-signal-safe.

namespace k400 {

// Notes a stop; `signal` is the signal number that asked (0: none given).
void RequestStop(int signal) noexcept;
bool StopRequested() noexcept;
// The signal number of the first request, 0 when there is none.
int StopSignal() noexcept;
void ClearStopRequest() noexcept;

// Set while a procedure runs that stops only at its own safe points; a
// handler that sees it leaves the stop to that procedure (once).
class GuardedWork {
public:
    GuardedWork() noexcept;
    ~GuardedWork();
    GuardedWork(const GuardedWork&) = delete;
    GuardedWork& operator=(const GuardedWork&) = delete;
};
bool InGuardedWork() noexcept;

}  // namespace k400

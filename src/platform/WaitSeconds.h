#pragma once
// The seconds delay of the start-up splash.

#include "platform/Clock.h"
#include "platform/UserInterface.h"

namespace k400 {

// Waits at least `seconds`, letting pending window events run meanwhile.
// Sleeps in short slices between the event passes instead of spinning.
void WaitSeconds(Clock& clock, UserInterface& ui, double seconds);

}  // namespace k400

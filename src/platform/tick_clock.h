// The show's millisecond tick counter.
#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since system start, truncated to 32 bits (wraps after ~49.7
// days). While the virtual clock is active it returns the virtual time
// instead, so offline rendering sees the same counter a live run would.
// Main thread only.
uint32_t getTickCount();

// Switches to a virtual counter that stands at `nowMs` until moved.
void useVirtualClock(uint32_t nowMs);
void setVirtualTime(uint32_t nowMs);
bool virtualClockActive();

} // namespace platform

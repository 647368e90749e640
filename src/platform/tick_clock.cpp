#include "platform/tick_clock.h"

#include <ctime>

namespace platform {
namespace {
bool virtualActive = false;
uint32_t virtualNow = 0;
} // namespace

uint32_t getTickCount()
{
    if (virtualActive)
        return virtualNow;
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void useVirtualClock(uint32_t nowMs)
{
    virtualActive = true;
    virtualNow = nowMs;
}

void setVirtualTime(uint32_t nowMs) { virtualNow = nowMs; }

bool virtualClockActive() { return virtualActive; }

} // namespace platform

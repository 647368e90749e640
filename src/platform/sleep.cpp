#include "platform/sleep.h"

#include "platform/tick_clock.h"

#include <chrono>
#include <thread>

namespace platform {
void sleepMs(uint32_t ms)
{
    // On the virtual clock time passes without waiting.
    if (virtualClockActive()) {
        setVirtualTime(getTickCount() + ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
} // namespace platform

#pragma once
#include <cstdint>

namespace platform {
// Blocks the calling thread for about `ms` milliseconds.
void sleepMs(uint32_t ms);
} // namespace platform

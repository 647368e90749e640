// Escape key poll.
#pragma once
#include <cstdint>

namespace platform {

// Nonzero when Escape is down now or was pressed since the previous poll.
// Does not remove events from the queue. Main thread only.
int16_t pollEscape();

} // namespace platform

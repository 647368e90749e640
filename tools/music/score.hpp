// The composition: which instrument plays what, and when.
#pragma once

#include "mixer.hpp"

namespace q9music {

// 86 s of music plus a second of silence.
constexpr double kTrackSeconds = 87.0;

// Renders and masters the whole piece at 44.1 kHz stereo.
Stereo renderSoundtrack(LimiterReport* limiter = nullptr);

} // namespace q9music

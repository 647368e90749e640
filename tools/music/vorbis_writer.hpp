// Ogg Vorbis encoding of the finished mix.
#pragma once

#include "mixer.hpp"

#include <string>

namespace q9music {

// Encodes `mix` (44.1 kHz stereo) at the given VBR quality. The stream
// serial number is fixed and no time-dependent tag is written, so equal
// input gives a byte-identical file. Throws std::runtime_error on failure.
void writeOggVorbis(const std::string& path, const Stereo& mix, float quality, float scale = 1.0f);

// Largest absolute sample value of the decoded file.
double decodedPeak(const std::string& path);

} // namespace q9music

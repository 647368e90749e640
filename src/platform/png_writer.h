// Writes captured frames as PNG files.
#pragma once
#include <cstdint>
#include <string>

namespace platform {
// `rgba` holds width x height pixels, bottom row first (as glReadPixels
// returns them). Returns false when the file could not be written.
bool writePngBottomUp(const std::string& path, int width, int height, const uint8_t* rgba);
} // namespace platform

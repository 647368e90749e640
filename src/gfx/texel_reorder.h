// The texture loader's pixel shuffle, kept free of GL so it can be checked
// and timed on its own.
#pragma once
#include <cstddef>
#include <cstdint>

// Packs a decoded picture (blue-green-red or blue-green-red-alpha bytes, rows
// `pitch` bytes apart starting at the top row) into tightly packed RGB or
// RGBA texels, top row first. `bytesPerPixel` is 3 or 4; any other value
// writes nothing and returns false. `out` holds width x height x
// bytesPerPixel bytes.
bool reorderTexels(const uint8_t* topRow, std::ptrdiff_t pitch, int width, int height, int bytesPerPixel,
                   uint8_t* out);

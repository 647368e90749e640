// The home computer's own 8x8 character set, drawn for this show.
#pragma once

#include <array>
#include <cstdint>

namespace q9tex {

// Row bits of one 8x8 glyph, bit 7 is the leftmost pixel. Unknown characters are blank.
std::array<uint8_t, 8> retroGlyph(char c);

}  // namespace q9tex

#include "gfx/texel_reorder.h"

bool reorderTexels(const uint8_t* topRow, std::ptrdiff_t pitch, int width, int height, int bytesPerPixel,
                   uint8_t* out)
{
    if (!topRow || !out || width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4))
        return false;
    const size_t columns = static_cast<size_t>(width);
    for (int r = 0; r < height; ++r) {
        const uint8_t* in = topRow + r * pitch;
        if (bytesPerPixel == 3) {
            for (size_t c = 0; c < columns; ++c, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            // Alpha pictures get the same red/blue swap: GL_RGBA wants red first.
            for (size_t c = 0; c < columns; ++c, in += 4, out += 4) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
                out[3] = in[3];
            }
        }
    }
    return true;
}

#include "platform/png_writer.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstring>
#include <memory>

namespace platform {
bool writePngBottomUp(const std::string& path, int width, int height, const uint8_t* rgba)
{
    if (width <= 0 || height <= 0 || !rgba)
        return false;
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24), SDL_FreeSurface);
    if (!surface)
        return false;
    auto* dst = static_cast<uint8_t*>(surface->pixels);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = rgba + static_cast<size_t>(height - 1 - y) * width * 4;
        uint8_t* row = dst + static_cast<size_t>(y) * surface->pitch;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = src[4 * x];
            row[3 * x + 1] = src[4 * x + 1];
            row[3 * x + 2] = src[4 * x + 2];
        }
    }
    return IMG_SavePNG(surface.get(), path.c_str()) == 0;
}
} // namespace platform

#include "platform/image_decoder.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstring>
#include <memory>

namespace platform {
namespace {

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

bool carriesTransparency(SDL_Surface* surface)
{
    if (SDL_ISPIXELFORMAT_ALPHA(surface->format->format) || SDL_HasColorKey(surface))
        return true;
    if (const SDL_Palette* palette = surface->format->palette) {
        for (int i = 0; i < palette->ncolors; ++i)
            if (palette->colors[i].a != 255)
                return true;
    }
    return false;
}

DecodedImage failure(const char* what)
{
    DecodedImage image;
    image.error = what ? what : "";
    return image;
}

} // namespace

DecodedImage decodeImage(const char* path)
{
    if (!path)
        return failure("no path");
    SurfacePtr loaded(IMG_Load(path), SDL_FreeSurface);
    if (!loaded)
        return failure(IMG_GetError());
    if (loaded->w <= 0 || loaded->h <= 0)
        return failure("empty picture");

    // Everything goes through one byte layout (R, G, B[, A] in memory), which
    // the copy below turns into the blue-first, bottom-up layout.
    const bool alpha = carriesTransparency(loaded.get());
    const Uint32 wanted = alpha ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24;
    SurfacePtr converted(nullptr, SDL_FreeSurface);
    SDL_Surface* source = loaded.get();
    if (source->format->format != wanted) {
        converted.reset(SDL_ConvertSurfaceFormat(source, wanted, 0));
        if (!converted)
            return failure(SDL_GetError());
        source = converted.get();
    }

    const int bytes = alpha ? 4 : 3;
    const size_t width = static_cast<size_t>(source->w);
    const size_t height = static_cast<size_t>(source->h);
    const size_t stride = (width * bytes + 3) & ~static_cast<size_t>(3);

    DecodedImage image;
    image.storage.resize(stride * height);
    if (SDL_MUSTLOCK(source) && SDL_LockSurface(source) != 0)
        return failure(SDL_GetError());
    for (size_t r = 0; r < height; ++r) {
        const auto* in = static_cast<const uint8_t*>(source->pixels) + r * static_cast<size_t>(source->pitch);
        uint8_t* out = image.storage.data() + (height - 1 - r) * stride;
        if (bytes == 3) {
            for (size_t c = 0; c < width; ++c, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            for (size_t c = 0; c < width; ++c, in += 4, out += 4) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
                out[3] = in[3];
            }
        }
    }
    if (SDL_MUSTLOCK(source))
        SDL_UnlockSurface(source);

    image.width = source->w;
    image.height = source->h;
    image.bitsPerPixel = bytes * 8;
    image.pitch = -static_cast<std::ptrdiff_t>(stride);
    image.topRow = image.storage.data() + (height - 1) * stride;
    return image;
}

} // namespace platform

#include "platform/image_decoder.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <climits>
#include <cstdio>
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

uint32_t bigEndian16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 8 | p[1]; }
uint32_t bigEndian32(const uint8_t* p) { return bigEndian16(p) << 16 | bigEndian16(p + 2); }

// Width and height from the IHDR chunk, which a PNG must start with.
bool pngSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height)
{
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    width = bigEndian32(data + 16);
    height = bigEndian32(data + 20);
    return true;
}

// Width and height from the first start-of-frame segment, walking the
// segments before it.
bool jpegSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height)
{
    size_t at = 2; // after the start-of-image marker
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return false;
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // no length field
            at += 2;
            continue;
        }
        const size_t length = bigEndian16(data + at + 2);
        if (length < 2 || marker == 0xD9 || marker == 0xDA) // end of image or scan data before any frame
            return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7 || at + 4 + 5 > size)
                return false;
            height = bigEndian16(data + at + 5);
            width = bigEndian16(data + at + 7);
            return true;
        }
        at += 2 + length;
    }
    return false;
}

bool withinLimits(uint32_t width, uint32_t height)
{
    return width <= static_cast<uint32_t>(imageMaxSide) && height <= static_cast<uint32_t>(imageMaxSide) &&
           static_cast<int64_t>(width) * height <= imageMaxPixels;
}

} // namespace

DecodedImage decodeImage(const char* path)
{
    if (!path)
        return failure("no path");
    // JPEG and PNG carry their type in their first bytes, so decoding the
    // file's bytes is the same as decoding the file.
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file)
        return failure((std::string("cannot open ") + path).c_str());
    // Far beyond any picture within the limits; stops a runaway read.
    constexpr size_t maxFileBytes = size_t{256} << 20;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > maxFileBytes)
            return failure((std::string("picture file ") + path + " is over 256 MiB").c_str());
    }
    if (std::ferror(file.get()))
        return failure((std::string("cannot read ") + path).c_str());
    return decodeImageFromMemory(bytes.data(), bytes.size());
}

DecodedImage decodeImageFromMemory(const uint8_t* data, size_t size)
{
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX))
        return failure("no picture data");
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!stream)
        return failure(SDL_GetError());
    std::unique_ptr<SDL_RWops, decltype(&SDL_RWclose)> closer(stream, SDL_RWclose);
    // Only the two formats the show's pictures come in: a damaged file must
    // not reach the decoders of every other format the library knows.
    const bool png = IMG_isPNG(stream);
    if (!png && !IMG_isJPG(stream))
        return failure("neither a PNG nor a JPEG picture");
    uint32_t headerWidth = 0;
    uint32_t headerHeight = 0;
    if (!(png ? pngSize(data, size, headerWidth, headerHeight) : jpegSize(data, size, headerWidth, headerHeight)))
        return failure("no picture size in the header");
    if (!withinLimits(headerWidth, headerHeight))
        return failure(("picture of " + std::to_string(headerWidth) + " x " + std::to_string(headerHeight) +
                        " pixels is over the size limit").c_str());
    SurfacePtr loaded(png ? IMG_LoadPNG_RW(stream) : IMG_LoadJPG_RW(stream), SDL_FreeSurface);
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

// Picture files (JPEG, PNG) decoded into the pixel layout the texture loader
// reads: blue-green-red(-alpha) bytes, rows stored bottom-up.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Owns its pixels; movable, not copyable (topRow points into them).
class DecodedImage {
public:
    DecodedImage() = default;
    DecodedImage(DecodedImage&&) = default;
    DecodedImage& operator=(DecodedImage&&) = default;
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;

    // All zero (and topRow null) when the file is missing or undecodable.
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0; // 24 without alpha, 32 with straight alpha
    // First byte of the top image row; the row below starts `pitch` bytes
    // further on. Rows are stored bottom-up, so pitch is negative; its
    // magnitude is width x bytes per pixel rounded up to a multiple of 4.
    const uint8_t* topRow = nullptr;
    std::ptrdiff_t pitch = 0;

    // Why decoding failed; empty on success.
    std::string error;

private:
    friend DecodedImage decodeImageFromMemory(const uint8_t* data, size_t size);
    std::vector<uint8_t> storage;
};

// The largest picture decoded. The size is read from the file's header
// first, so a damaged header that asks for gigabytes costs nothing.
constexpr int32_t imageMaxSide = 16384;
constexpr int64_t imageMaxPixels = int64_t{8192} * 8192;

// PNG and JPEG only, recognised by their first bytes; anything else, or a
// picture over the limits above, fails like an undecodable file. Grey, palette and 16-bit pictures come out as 24
// bits, or as 32 when they carry transparency. Main thread or any single
// thread; no global set-up.
DecodedImage decodeImage(const char* path);

// The same for a whole file already in memory (`size` bytes at `data`).
DecodedImage decodeImageFromMemory(const uint8_t* data, size_t size);

} // namespace platform

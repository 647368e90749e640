#include "gfx/render_target.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>
#include <vector>

namespace {

// Smallest power of two >= n, at least 2 (n is at most 2^30 here).
int32_t powerOfTwoAtLeast(int32_t n)
{
    int32_t p = 2;
    while (p < n)
        p *= 2;
    return p;
}

// Largest power of two <= n, for n >= 1.
int32_t powerOfTwoAtMost(int32_t n)
{
    int32_t p = 1;
    while (p <= n / 2)
        p *= 2;
    return p;
}

// The largest side the driver takes both as a texture and as a viewport, so
// that begin() really draws into the whole region capture() copies.
void driverSideLimits(int32_t& maxWidth, int32_t& maxHeight)
{
    GLint maxTexture = 0;
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    // GL guarantees at least 64 for both; a zero means the query failed.
    const auto orFallback = [](GLint v) { return v > 0 ? static_cast<int32_t>(v) : int32_t{64}; };
    maxWidth = std::min(orFallback(maxTexture), orFallback(maxViewport[0]));
    maxHeight = std::min(orFallback(maxTexture), orFallback(maxViewport[1]));
}

bool proxyAccepts(int32_t w, int32_t h)
{
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 4, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    GLint got = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &got);
    return got != 0;
}

// Uploads a black image into the bound texture; false when the driver or
// the heap runs out of memory for it.
bool uploadBlack(int32_t w, int32_t h)
{
    std::vector<unsigned char> black;
    try {
        black.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, 4, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, black.data());
    return glGetError() != GL_OUT_OF_MEMORY;
}

} // namespace

RenderTarget::RenderTarget(int32_t width, int32_t height, int32_t screenWidth, int32_t screenHeight)
    // A viewport cannot be empty or negative, and drawQuad divides by these.
    : screenWidth(std::max(screenWidth, int32_t{1})), screenHeight(std::max(screenHeight, int32_t{1}))
{
    create(width, height);
}

void RenderTarget::create(int32_t width, int32_t height)
{
    create(width, height, std::numeric_limits<int32_t>::max());
}

void RenderTarget::create(int32_t requestedWidth, int32_t requestedHeight, int32_t sizeLimit)
{
    int32_t maxWidth = 0;
    int32_t maxHeight = 0;
    driverSideLimits(maxWidth, maxHeight);
    const int32_t cap = std::max(sizeLimit, int32_t{2});
    maxWidth = powerOfTwoAtMost(std::max(std::min(maxWidth, cap), int32_t{2}));
    maxHeight = powerOfTwoAtMost(std::max(std::min(maxHeight, cap), int32_t{2}));
    // The back buffer is the only surface: beyond the window there is
    // nothing defined to capture.
    maxWidth = std::min(maxWidth, screenWidth);
    maxHeight = std::min(maxHeight, screenHeight);
    width = std::clamp(requestedWidth, int32_t{1}, maxWidth);
    height = std::clamp(requestedHeight, int32_t{1}, maxHeight);

    if (texture == 0)
        glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Halve the longer side until the driver has room for the texture.
    for (;;) {
        textureWidth = powerOfTwoAtLeast(width);
        textureHeight = powerOfTwoAtLeast(height);
        if (proxyAccepts(textureWidth, textureHeight) && uploadBlack(textureWidth, textureHeight))
            break;
        if (textureWidth <= 2 && textureHeight <= 2)
            break; // nothing smaller to try; the texture stays empty
        if (textureWidth >= textureHeight)
            width = std::min(width, textureWidth / 2);
        else
            height = std::min(height, textureHeight / 2);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Clamped, not repeated: a picture that fills its texture is magnified
    // over the window, and repeating would blend each window edge with the
    // opposite one.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    maxU = static_cast<float>(static_cast<double>(width) / textureWidth);
    maxV = static_cast<float>(static_cast<double>(height) / textureHeight);
}

void RenderTarget::begin() { glViewport(0, 0, width, height); }

void RenderTarget::capture()
{
    copyFromBackBuffer();
    glViewport(0, 0, screenWidth, screenHeight);
}

void RenderTarget::copyFromBackBuffer()
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

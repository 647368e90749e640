// A texture filled by copying a region of the window's back buffer, so a
// picture drawn into the frame can be scaled, blurred and drawn back. There
// is no off-screen buffer: every member draws into the back buffer.
//
// All members need the GL context current (main thread). Sizes are pixels.
#pragma once
#include "platform/gl.h"

#include <cstdint>

class RenderTarget {
public:
    // screenWidth x screenHeight is the window's client size: the viewport
    // restored after every capture and the pixel scale of drawQuad (sizes
    // below 1 are taken as 1).
    RenderTarget(int32_t width, int32_t height, int32_t screenWidth, int32_t screenHeight);
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;
    ~RenderTarget() = default; // the texture lives until the context goes away

    // Builds the black power-of-two texture (reusing `texture` when called
    // again). A size the driver cannot take as a texture or a viewport is
    // clamped to the largest power of two it takes, and width/height with it:
    // the target then captures a smaller region, which drawQuad stretches
    // back over the whole viewport. Likewise width/height never exceed the
    // screen size, and sizes below 1 become 1. Leaves the texture bound.
    void create(int32_t width, int32_t height);
    // The same with a further cap on each texture side (> 0), for callers
    // that want a smaller texture than the driver's limit.
    void create(int32_t width, int32_t height, int32_t sizeLimit);

    // Viewport (0, 0, width, height): the region capture copies.
    void begin();
    // Copies the back buffer's lower-left width x height pixels into the
    // texture, leaves the texture bound and the viewport the whole window.
    void capture();

    // The filters. All restore both matrices and leave GL_MODELVIEW current,
    // GL_TEXTURE_2D disabled and the depth test enabled.

    // The picture as one quad over the current viewport, moved by (x, y) and
    // enlarged by (growW, growH) window pixels. Colour, blending and texture
    // environment are taken as they are.
    void drawQuad(float x, float y, float growW, float growH);
    void drawFullScreen();
    // Adds the picture tinted by (r, g, b) and weighted by a. Ends with
    // blending disabled, factors (GL_SRC_ALPHA, GL_ONE), colour white.
    void drawAdditive(float r, float g, float b, float a);
    // Draws this picture at the destination's size and captures it there.
    // Ends with blending disabled and the destination's texture bound.
    void copyTo(RenderTarget& destination);
    // Box blur in place along (dirX, dirY): pass i sums 2 * radius + 1 copies
    // spaced i * spread target pixels apart, each weighted
    // strength / (2 * radius + 1), on black. Each pass blanks the whole
    // colour buffer. Ends with blending disabled, factors (GL_SRC_ALPHA,
    // GL_ONE), colour white, clear colour opaque black, and the viewport the
    // whole window when a pass ran (untouched otherwise).
    void blurPass(int32_t passes, int32_t radius, float spread, float strength, float dirX, float dirY);
    // All horizontal passes, then all vertical ones.
    void blur(int32_t passes, int32_t radius, float spread, float strength);

    GLuint texture = 0;
    int32_t width = 0;         // captured region and target viewport
    int32_t height = 0;
    int32_t textureWidth = 0;  // power of two >= width, at least 2
    int32_t textureHeight = 0;
    float maxU = 0.0f;         // width / textureWidth
    float maxV = 0.0f;         // height / textureHeight
    int32_t screenWidth = 0;   // the window's client size
    int32_t screenHeight = 0;

private:
    void copyFromBackBuffer();
};

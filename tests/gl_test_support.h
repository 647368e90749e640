// What GL tests share: a hidden window with a current context, GL feedback
// capture and pixel reads. Nothing here mocks OpenGL.
#pragma once
#include "platform/gl.h"
#include "window/gl_window.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// A hidden window of the given client size; the context is current while it
// lives. Tests assert isReady() before drawing.
struct GlTestWindow {
    explicit GlTestWindow(int width = 64, int height = 64) : window(width, height, 32, false, "q9 test", true) {}
    bool isReady() const { return window.isReady(); }
    GLWindow window;
};

struct FeedbackVertex {
    float x, y, z, w;       // window coordinates
    float r, g, b, a;       // colour
    float s, t, p, q;       // texture coordinate
};

struct FeedbackPrimitive {
    GLenum kind; // GL_POLYGON_TOKEN, GL_LINE_TOKEN, GL_LINE_RESET_TOKEN, GL_POINT_TOKEN, ...
    std::vector<FeedbackVertex> vertices;
};

// Runs `draw` in GL_FEEDBACK mode (GL_4D_COLOR_TEXTURE) and returns what
// reached the rasteriser, after transformation, clipping and culling.
inline std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw, size_t capacity = 1 << 20)
{
    std::vector<GLfloat> buffer(capacity);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<FeedbackPrimitive> out;
    auto vertexAt = [&](GLint& i) {
        FeedbackVertex v{};
        float* f = &v.x;
        for (int k = 0; k < 12; ++k)
            f[k] = buffer[static_cast<size_t>(i++)];
        return v;
    };
    for (GLint i = 0; i < used;) {
        const auto token = static_cast<GLenum>(buffer[static_cast<size_t>(i++)]);
        FeedbackPrimitive prim{token, {}};
        int count = 0;
        switch (token) {
        case GL_POLYGON_TOKEN: count = static_cast<int>(buffer[static_cast<size_t>(i++)]); break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN: count = 2; break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN: count = 1; break;
        case GL_PASS_THROUGH_TOKEN: ++i; continue;
        default: return out; // unknown token: stop rather than misread
        }
        for (int k = 0; k < count; ++k)
            prim.vertices.push_back(vertexAt(i));
        out.push_back(std::move(prim));
    }
    return out;
}

inline std::array<uint8_t, 4> readPixel(int x, int y)
{
    std::array<uint8_t, 4> px{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
}

inline std::vector<uint8_t> readPixels(int width, int height)
{
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
}

#include "effects/shape_morph.h"

#include "platform/gl.h"

#include <array>
#include <cmath>

namespace {

struct Point {
    float x, y;
};
using Shape = std::array<Point, 6>;

// Three corners, each followed by the midpoint of the next edge.
constexpr Shape triangle = {{{0.0f, 0.5f}, {0.5f, 0.0f}, {1.0f, -0.5f}, {0.0f, -0.5f}, {-1.0f, -0.5f}, {-0.5f, 0.0f}}};
// A square pinched at the waist.
constexpr Shape hourglass = {
    {{-0.5f, 0.5f}, {0.5f, 0.5f}, {0.1f, 0.0f}, {0.5f, -0.5f}, {-0.5f, -0.5f}, {-0.1f, 0.0f}}};

// Radius 1, starting about 120 degrees clockwise from the top.
Shape hexagon()
{
    static constexpr int steps[6] = {2, 3, 4, 5, 6, 1};
    Shape h{};
    for (int k = 0; k < 6; ++k) {
        const double theta = steps[k] * (static_cast<double>(3.14f) / 3.0);
        h[static_cast<size_t>(k)] = {static_cast<float>(std::sin(theta)), static_cast<float>(std::cos(theta))};
    }
    return h;
}

} // namespace

void sceneShapeMorph(uint32_t elapsedMs, int variant)
{
    if (elapsedMs > 2000 || variant < 1 || variant > 3)
        return;
    const Shape hex = hexagon();
    const Shape* from = nullptr;
    const Shape* to = nullptr;
    float a = 0.0f, b = 0.0f;
    switch (variant) {
    case 1: from = &triangle, a = 0.8f, to = &hex, b = 0.4f; break;
    case 2: from = &hex, a = 0.4f, to = &hourglass, b = 0.9f; break;
    default: from = &hourglass, a = 0.9f, to = &hex, b = 0.4f; break;
    }

    const float u = static_cast<float>(elapsedMs / 2000.0);
    glBegin(GL_LINE_LOOP);
    for (size_t k = 0; k < 6; ++k) {
        const Point s{a * (*from)[k].x, a * (*from)[k].y};
        const Point e{b * (*to)[k].x, b * (*to)[k].y};
        const float dx = e.x - s.x;
        const float dy = e.y - s.y;
        glVertex3f(s.x + u * dx, s.y + u * dy, -1.0f);
    }
    glEnd();
}

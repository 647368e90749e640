#include "effects/wobble_deform.h"

#include <cmath>

// The products with 1.1 and 1.3 are float, the trigonometry double, and each
// coefficient is rounded to float, so the shape is the same on every build.
WobbleCoefficients wobbleCoefficients(int32_t variant, float t)
{
    const double td = t;
    const double t13 = 1.3f * t;
    const double t11 = 1.1f * t;
    const double t14 = 1.4f * t;
    switch (variant) {
    case 0:
        return {static_cast<float>(std::tan(td) * 4 + 3), static_cast<float>(std::cos(t13) * 6 + 7),
                static_cast<float>(std::tan(t11) * 6 + 2), static_cast<float>(std::sin(t14) * 30 + 32)};
    case 1:
        return {static_cast<float>(std::sin(td) * 4 + 1), static_cast<float>(std::cos(t13) * 6 + 2),
                static_cast<float>(std::sin(t11) * 6 + 5), static_cast<float>(std::sin(t14) * 30 + 32)};
    default: return {0.0f, 0.0f, 0.0f, 0.0f};
    }
}

void wobbleDeform(const float* restPositions, const float* restNormals, float* out, int32_t vertexCount, float t,
                  WobbleCoefficients c)
{
    for (int32_t i = 0; i < vertexCount; ++i) {
        const float* p = restPositions + 3 * i;
        const float* n = restNormals + 3 * i;
        const float sx = static_cast<float>(std::sin(static_cast<double>(t + c.fx * n[0])));
        const float sy = static_cast<float>(std::sin(static_cast<double>(t + c.fy * n[1])));
        const float sz = static_cast<float>(std::sin(static_cast<double>(t + c.fz * n[2])));
        const float w = sx * sy * sz;
        const float d = c.a * w;
        float* o = out + 3 * i;
        o[0] = p[0] + d * n[0];
        o[1] = p[1] + d * n[1];
        o[2] = p[2] + d * n[2];
    }
}

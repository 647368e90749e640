// The wobble of the sphere scene without any OpenGL, so it can be measured
// and checked on its own.
#pragma once
#include <cstdint>

struct WobbleCoefficients {
    float fx, fy, fz; // per-axis frequencies over the normal's components
    float a;          // amplitude in model units
};

// The coefficients of `variant` (0 or 1; any other keeps the rest shape) at
// scene time t in seconds.
WobbleCoefficients wobbleCoefficients(int32_t variant, float t);

// out[i] = rest[i] + a * sin(t + fx nx) sin(t + fy ny) sin(t + fz nz) * n[i]
// for vertexCount vertices of 3 floats each. `out` must not alias the inputs.
// Allocates nothing.
void wobbleDeform(const float* restPositions, const float* restNormals, float* out, int32_t vertexCount, float t,
                  WobbleCoefficients c);

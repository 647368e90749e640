// The ring tunnel: dashed circles one behind another on the viewing axis,
// flying towards the viewer and brightening as they come.
#pragma once
#include <cstdint>

constexpr int ringCapacity = 800;

// A ring's depth parameter u fixes it for a frame: its plane is z = -1.9 u,
// its brightness 1 - 0.4 u, its point size 10 - 7.6 u (at least 1).
struct RingTable {
    float current[ringCapacity]; // u for the frame being drawn
    float base[ringCapacity];    // u at elapsed time 0
    int32_t count = 0;           // rings initialised; the scene draws no more
};

// Rings 0 to count - 1 at u = 0.1 i. count is clamped to 0..800.
void initRingTable(RingTable* table, int count);

// One frame, elapsedMs (signed) after the rings' start position: rings move
// 1 unit of u per 1.5 s. Draws the first n rings (clamped to the table's
// count), farthest first, each as 50 vertices of `primitive` in (r, g, b)
// times its brightness; with fadeIn the brightness ramps up from 0 over the
// first 4000 ms (black before 0). Sets its own camera (left current,
// GL_MODELVIEW mode) and leaves the colour white.
void sceneRingTunnel(int32_t elapsedMs, RingTable* table, int n, bool fadeIn, int primitive, float r, float g,
                     float b);

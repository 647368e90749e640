// The line-shape morph: one closed outline of six points moving in a
// straight line from one shape to the next over two seconds.
#pragma once
#include <cstdint>

// Variant 1: triangle (scale 0.8) to hexagon (0.4); 2: hexagon to hourglass
// (0.9); 3: hourglass back to the hexagon. Any other variant, or an elapsedMs
// past 2000, draws nothing. Draws at z = -1 straight in clip space: expects
// identity matrices, and sets no colour, texture or line state.
void sceneShapeMorph(uint32_t elapsedMs, int variant);

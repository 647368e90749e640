// The star field: 4000 small textured sprites drifting towards the camera
// at a frame-rate-independent speed, born again far away once past it.
#pragma once
#include "gfx/texture.h"

#include <cstdint>

constexpr int starCount = 4000;

struct Star {
    float x, y; // top-left corner of the sprite
    float z;    // depth; the camera is at z = -1 looking towards -z
    float r, g, b; // colour at full brightness
};

// How far the step clock has advanced the stars, in milliseconds of the
// elapsed time the scene is given. Starts at 0, shared by every call.
extern uint32_t lastStarStep;

// Scatters `stars` (starCount records) with six showRand() calls per star.
void initStarField(Star* stars);

// The step clock: consumes whole 10 ms steps up to elapsedMs, leaving at most
// 10 ms unconsumed, and returns the distance they move the stars (0.0065 per
// step). A time behind lastStarStep moves lastStarStep back to it and makes
// no step.
float advanceStarClock(uint32_t elapsedMs);

// Moves every star `speed` towards the camera; one past z = 0.5 is born
// again at z = -4 at a new random spot (two showRand() calls).
void stepStarField(Star* stars, float speed);

// One frame: the perspective is multiplied onto the current (identity)
// model-view matrix and popped again afterwards; the stars are drawn where
// they were before this frame's step. rollMs rolls the view by
// rollMs / 1000 radians.
void sceneStarField(uint32_t elapsedMs, Star* stars, GLWrapper::Texture* texture, uint32_t rollMs);

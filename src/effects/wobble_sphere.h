// The wobbling, sphere-mapped sphere in front of a background that flashes
// with the bass.
#pragma once
#include "gfx/model.h"
#include "gfx/texture.h"

#include <cstdint>

// The grey level of the background, 0 at start; it follows spectrum element
// 2 up at once and falls by 0.001 per frame.
extern float backgroundLevel;

// All times in milliseconds. Draws nothing once now >= start + span.
// The animation runs on the raw tick counter (platform::getTickCount()),
// measured from `start`, not on `now`. The first mesh of `deformed` gets the
// first mesh of `source` moved along its normals, then the normals of
// `deformed` are recomputed; `source` is only read. A model without a mesh,
// or a source mesh with fewer vertices than the deformed one, is drawn as it
// is. variant 1 is the show's; 0 is wilder, any other keeps the rest shape.
void sceneWobbleSphere(int32_t start, int32_t now, int32_t span, Model* deformed, Model* source,
                       GLWrapper::Texture* environment, int32_t variant);

// Sets the clear colour for the scene clock `clock` and clears colour and
// depth: black, a two-second white fade 40 s in, black, and from 110 s on
// the bass level.
void wobbleBackground(int32_t start, int32_t clock);

// The spinning mesh shaded by the shader pair: bump-mapped wet chrome.
#pragma once
#include "gfx/model.h"
#include "gfx/shader_programs.h"
#include "gfx/texture.h"

#include <cstdint>

// showTime: the show time itself in milliseconds (a third of a degree of
// spin per millisecond). Draws `model` 555 units in front of the camera with
// `environment` on the "envmap" sampler and `bump` on "bumpmap" of the
// loaded fragment and vertex programs. Sets both matrices (model-view
// current) and nothing else of the fixed-function state; afterwards no
// program is in use and every texture unit holds what it held before.
void sceneBumpEnv(uint32_t showTime, Model* model, GLWrapper::Texture* environment, GLWrapper::Texture* bump,
                  ShaderProgram* fragmentProgram, ShaderProgram* vertexProgram);

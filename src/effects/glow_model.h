// The last scene: a sphere-mapped model spinning about the viewing axis with
// a soft glow laid over it through two render targets.
#pragma once
#include <cstdint>

class Model;
class RenderTarget;
namespace GLWrapper {
class Texture;
}

// showTime in milliseconds sets the spin (70 degrees per second). `frame`
// is the window-sized target, `glow` the small one the glow is blurred in;
// strength weights every blur pass (1 keeps the glow as bright as the frame,
// 0 shows no glow). Replaces the whole window; leaves blending and
// GL_TEXTURE_2D disabled, the depth test enabled, the colour white, the
// viewport the whole window and the scene's camera matrices loaded.
void sceneGlowModel(int32_t showTime, Model* model, GLWrapper::Texture* environment, RenderTarget* frame,
                    RenderTarget* glow, float strength);

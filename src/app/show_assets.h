// Everything the loading sequence makes and the schedule draws with. Owned
// by the entry point for the whole run. Members are destroyed in reverse
// order of declaration: the models first, then the textures, each in
// reverse load order, which is the teardown order.
#pragma once
#include "effects/ring_tunnel.h"
#include "effects/star_field.h"
#include "gfx/model.h"
#include "gfx/render_target.h"
#include "gfx/shader_programs.h"
#include "gfx/texture.h"
#include "loading/progress_bar.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

struct ShowAssets {
    // Never drawn after loading; released with the rest at teardown.
    std::unique_ptr<ProgressBar> progress;
    ShaderPrograms shaders;
    std::unique_ptr<RenderTarget> frameTarget; // the window's size
    std::unique_ptr<RenderTarget> glowTarget;  // 128 x 128
    std::vector<float> twistWeights;           // one per vertex of spikeball A's first mesh
    std::vector<Vec3> twistAngles;
    std::array<Star, starCount> starsA{};      // scattered, never drawn
    std::array<Star, starCount> starsB{};      // the stars that follow A's in the random sequence
    RingTable ringsA{};                        // 60 rings
    RingTable ringsB{};                        // 800 rings, never drawn

    // Textures, in load order.
    std::optional<GLWrapper::Texture> loadingscreen, bumpmap, doom, blue, c64_1, c64_2, c64_3, c64_4, c64_5, c64_6,
        door, star, greets, history, credits, bottom, vubar, ansigirl, rushed;

    // Models, in load order.
    std::unique_ptr<Model> spikeballA, spikeballB, slimyA, slimyB, rarkube, hisphereA, hisphereB;
};

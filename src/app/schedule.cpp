#include "app/schedule.h"

#include "app/show_assets.h"
#include "effects/bump_env.h"
#include "effects/glow_model.h"
#include "effects/ring_tunnel.h"
#include "effects/screen_quads.h"
#include "effects/shape_morph.h"
#include "effects/star_field.h"
#include "effects/twist_mesh.h"
#include "effects/wobble_sphere.h"
#include "platform/gl.h"

#include <array>
#include <cstdlib>

namespace {

// Draws with the local time: show time minus the row's reference point.
using DrawFn = void (*)(uint32_t local, ShowAssets& a);

struct Segment {
    uint32_t end;       // the window is [previous end, end)
    uint32_t reference; // subtracted from show time before drawing
    DrawFn draw;
    bool bars;
    const char* name;
};

void openingFade(uint32_t t, ShowAssets&)
{
    const float f = static_cast<float>(t / 2000.0);
    glClearColor(static_cast<float>(0.48 * f), static_cast<float>(0.44 * f), static_cast<float>(0.85 * f), 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void fullScreen(const GLWrapper::Texture& picture) { drawScreenImage(-1, 1, 1, -1, picture); }

void rollUp(uint32_t elapsed, const GLWrapper::Texture& picture)
{
    drawImageRollUp(elapsed, 1, -1, 1, 0.1, 1, -1, picture, 0, 0, 1, 1);
}

void twist(uint32_t t, ShowAssets& a, const GLWrapper::Texture& environment)
{
    sceneTwistMesh(static_cast<int32_t>(t), a.spikeballA.get(), a.spikeballB.get(), a.twistWeights.data(),
                   a.twistAngles.data(), environment, 1e-05f);
}

// The tint of the first twisting segment: red and green grow with time.
void tintedTwist(uint32_t t, ShowAssets& a)
{
    const float f = static_cast<float>(static_cast<double>(t - 9500u) / 8500.0);
    glColor3f(2 * f, f, 1);
    twist(t, a, *a.blue);
}

// Row by row: window end, reference point of the local time, what is drawn
// with it, bars after it.
const std::array<Segment, 17> segments = {{
    /*  1 */ {2000, 0, openingFade, false, "opening fade"},
    /*  2 */ {11000, 0, [](uint32_t, ShowAssets& a) { fullScreen(*a.c64_1); }, false, "retro screen"},
    /*  3 */ {16000, 10000, [](uint32_t l, ShowAssets& a) { sceneRingTunnel(static_cast<int32_t>(l), &a.ringsA, 32, false, GL_LINES, 0.5f, 0.3f, 0.6f); }, false, "ring tunnel"},
    /*  4 */ {23000, 0, tintedTwist, true, "twisting mesh, tint"},
    /*  5 */ {25000, 23000, [](uint32_t l, ShowAssets& a) { rollUp(l, *a.doom); }, false, "doom roll-up"},
    /*  6 */ {33000, 0, [](uint32_t t, ShowAssets& a) { twist(t, a, *a.doom); }, false, "twisting mesh"},
    /*  7 */ {37000, 33000, [](uint32_t l, ShowAssets& a) { sceneRingTunnel(static_cast<int32_t>(l), &a.ringsA, 32, false, GL_LINES, 0.8f, 0.1f, 0.2f); }, true, "ring tunnel, red"},
    /*  8 */ {40000, 0, [](uint32_t, ShowAssets& a) { fullScreen(*a.rushed); }, false, "rushed card"},
    /*  9 */ {44000, 40000, [](uint32_t l, ShowAssets& a) { sceneStarField(l, a.starsB.data(), &*a.star, 0); }, false, "star field"},
    /* 10 */ {48000, 0, [](uint32_t, ShowAssets& a) { fullScreen(*a.credits); }, false, "credits"},
    /* 11 */ {50000, 48000, [](uint32_t l, ShowAssets&) { sceneShapeMorph(l, 1); }, true, "shape morph 1"},
    /* 12 */ {52000, 50000, [](uint32_t l, ShowAssets&) { sceneShapeMorph(l, 2); }, true, "shape morph 2"},
    /* 13 */ {54000, 52000, [](uint32_t l, ShowAssets&) { sceneShapeMorph(l, 3); }, true, "shape morph 3"},
    /* 14 */ {70000, 0, [](uint32_t t, ShowAssets& a) { sceneBumpEnv(t, a.slimyA.get(), &*a.blue, &*a.bumpmap, &a.shaders.psProgram, &a.shaders.vsProgram); }, true, "bump-mapped mesh"},
    /* 15 */ {72000, 70000, [](uint32_t l, ShowAssets& a) { rollUp(l, *a.ansigirl); }, false, "ansi roll-up"},
    // The wobble takes its absolute start and span, and the show time itself.
    /* 16 */ {80000, 0, [](uint32_t t, ShowAssets& a) { sceneWobbleSphere(72000, static_cast<int32_t>(t), 8000, a.hisphereA.get(), a.hisphereB.get(), &*a.blue, 1); }, true, "wobbling sphere"},
    /* 17 */ {86000, 0, [](uint32_t t, ShowAssets& a) { sceneGlowModel(static_cast<int32_t>(t), a.rarkube.get(), &*a.door, a.frameTarget.get(), a.glowTarget.get(), 1.0f); }, true, "glowing model"},
}};

void (*endHandler)() = nullptr;

} // namespace

int segmentAt(uint32_t t)
{
    for (size_t i = 0; i < segments.size(); ++i)
        if (t < segments[i].end)
            return static_cast<int>(i) + 1;
    return static_cast<int>(segments.size()) + 1;
}

uint32_t segmentLocalTime(uint32_t t)
{
    const int segment = segmentAt(t);
    if (segment > static_cast<int>(segments.size()))
        return t;
    return t - segments[static_cast<size_t>(segment - 1)].reference;
}

bool segmentHasBars(int segment)
{
    return segment >= 1 && segment <= static_cast<int>(segments.size()) && segments[static_cast<size_t>(segment - 1)].bars;
}

const char* segmentName(int segment)
{
    if (segment < 1 || segment > static_cast<int>(segments.size()))
        return "end";
    return segments[static_cast<size_t>(segment - 1)].name;
}

void drawBarOverlay(ShowAssets& a)
{
    glColor3f(1, 1, 1);
    drawScreenQuad(-1, -0.75, -0.01, 1, -1, *a.bottom, 0.01, 0.01, 0.99, 0.99);
    drawScreenQuad(-1, 1, -0.1, 1, 0.75, *a.bottom, 0.01, 0.99, 0.99, 0.01);
}

void drawShowFrame(uint32_t t, ShowAssets& assets)
{
    for (const Segment& s : segments) {
        if (t < s.end) {
            s.draw(t - s.reference, assets);
            if (s.bars)
                drawBarOverlay(assets);
            return;
        }
    }
    // The end of the show: leave at once, nothing presented, nothing released.
    if (endHandler)
        endHandler();
    std::exit(0);
}

void setShowEndHandler(void (*handler)()) { endHandler = handler; }

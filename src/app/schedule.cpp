#include "app/schedule.h"

#include "app/show_assets.h"
#include "platform/gl.h"

#include <array>
#include <cstdlib>

namespace {

using DrawFn = void (*)(uint32_t t, ShowAssets& a);

struct Segment {
    uint32_t end; // the window is [previous end, end)
    DrawFn draw;  // null: not drawn (a plain black frame)
    bool bars;
    const char* name;
};

void openingFade(uint32_t t, ShowAssets&)
{
    const float f = static_cast<float>(t / 2000.0);
    glClearColor(static_cast<float>(0.48 * f), static_cast<float>(0.44 * f), static_cast<float>(0.85 * f), 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Row by row: window end, what is drawn, bars after it.
const std::array<Segment, 17> segments = {{
    /*  1 */ {2000, openingFade, false, "opening fade"},
    /*  2 */ {11000, nullptr, false, "retro screen"},
    /*  3 */ {16000, nullptr, false, "ring tunnel"},
    /*  4 */ {23000, nullptr, true, "twisting mesh, tint"},
    /*  5 */ {25000, nullptr, false, "doom roll-up"},
    /*  6 */ {33000, nullptr, false, "twisting mesh"},
    /*  7 */ {37000, nullptr, true, "ring tunnel, red"},
    /*  8 */ {40000, nullptr, false, "rushed card"},
    /*  9 */ {44000, nullptr, false, "star field"},
    /* 10 */ {48000, nullptr, false, "credits"},
    /* 11 */ {50000, nullptr, true, "shape morph 1"},
    /* 12 */ {52000, nullptr, true, "shape morph 2"},
    /* 13 */ {54000, nullptr, true, "shape morph 3"},
    /* 14 */ {70000, nullptr, true, "bump-mapped mesh"},
    /* 15 */ {72000, nullptr, false, "ansi roll-up"},
    /* 16 */ {80000, nullptr, true, "wobbling sphere"},
    /* 17 */ {86000, nullptr, true, "glowing model"},
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

const char* segmentName(int segment)
{
    if (segment < 1 || segment > static_cast<int>(segments.size()))
        return "end";
    return segments[static_cast<size_t>(segment - 1)].name;
}

void drawBarOverlay(ShowAssets&)
{
}

void drawShowFrame(uint32_t t, ShowAssets& assets)
{
    for (const Segment& s : segments) {
        if (t < s.end) {
            if (s.draw)
                s.draw(t, assets);
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

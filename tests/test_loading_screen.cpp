#include "gfx/texture.h"
#include "gl_test_support.h"
#include "glf_fixture.h"
#include "loading/loading_screen.h"
#include "loading/progress_bar.h"
#include "quad_feedback.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>

namespace {

// The loading sequence's bar.
std::unique_ptr<ProgressBar> showBar()
{
    return createProgressBar(-0.838f, -0.85f, 0.44f, -0.9f, 0.003f, 35, "Loading Quorblestration 9", "Textures");
}

// Every code 32..255 is one unit wide and tall; its s0 names the code, so the
// feedback tells which characters were drawn.
GlfContents codeNamingFont()
{
    return fontForRange(32, 255, [](int32_t c) {
        return GlfGlyph{1, 1, static_cast<float>(c) / 256, 0.5f, static_cast<float>(c + 1) / 256, 0.5f};
    });
}

bool saveSolidPng(const std::string& path, uint8_t r, uint8_t g, uint8_t b)
{
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 0, SDL_PIXELFORMAT_RGB24), SDL_FreeSurface);
    if (!surface)
        return false;
    SDL_FillRect(surface.get(), nullptr, SDL_MapRGB(surface->format, r, g, b));
    return IMG_SavePNG(surface.get(), path.c_str()) == 0;
}

} // namespace

TEST(LoadingScreen, CreateCopiesItsTextsAndRefusesNonPositiveTotals)
{
    EXPECT_EQ(createProgressBar(-0.5f, 0.5f, 0.5f, 0.4f, 0.01f, 0, "x", nullptr), nullptr);
    EXPECT_EQ(createProgressBar(-0.5f, 0.5f, 0.5f, 0.4f, 0.01f, -3, "x", nullptr), nullptr);

    char caption[] = "Title";
    char status[] = "Stage";
    const auto bar = createProgressBar(0.2f, 0.5f, 0.6f, 0.4f, 0.01f, 4, caption, status);
    ASSERT_NE(bar, nullptr);
    caption[0] = status[0] = '#'; // the record keeps its own copies
    EXPECT_EQ(bar->caption, "Title");
    ASSERT_TRUE(bar->status.has_value());
    EXPECT_EQ(*bar->status, "Stage");
    EXPECT_EQ(bar->total, 4);
    EXPECT_EQ(bar->count, 0);
    EXPECT_FLOAT_EQ(bar->length, 0.8f) << "|left| + |right|, not right - left";
    EXPECT_FLOAT_EQ(bar->left, 0.2f);
    EXPECT_FLOAT_EQ(bar->top, 0.5f);
    EXPECT_FLOAT_EQ(bar->right, 0.6f);
    EXPECT_FLOAT_EQ(bar->bottom, 0.4f);
    EXPECT_FLOAT_EQ(bar->thickness, 0.01f);

    std::string next = "Models...";
    setProgressStatus(bar.get(), next.c_str());
    next[0] = '#';
    EXPECT_EQ(bar->status.value_or("none"), "Models...");
    setProgressStatus(bar.get(), nullptr);
    EXPECT_FALSE(bar->status.has_value());

    EXPECT_FALSE(createProgressBar(-1, 1, 1, 0, 0.1f, 1, "c", nullptr)->status.has_value());
}

TEST(LoadingScreen, BarFrameStripsRunCounterClockwise)
{
    GlTestWindow w(200, 200); // window x = (ndc + 1) x 100
    ASSERT_TRUE(w.isReady());
    const auto bar = createProgressBar(-0.5f, 0.5f, 0.5f, 0.3f, 0.1f, 2, "c", nullptr);
    ASSERT_NE(bar, nullptr);
    bar->count = 1;
    const auto quads = quadsFromFeedback(captureFeedback([&] { drawProgressBar(bar.get()); }));
    EXPECT_EQ(bar->count, 2);
    ASSERT_TRUE(quads.has_value());
    ASSERT_EQ(quads->size(), 5u);
    // Top-left, bottom-left, bottom-right, top-right of each quad, in NDC.
    const float want[5][4] = {
        {-0.5f, 0.5f, 0.5f, 0.4f},   // upper strip, inside the top edge
        {-0.5f, 0.3f, 0.5f, 0.2f},   // lower strip, below the bottom edge
        {-0.5f, 0.5f, -0.4f, 0.3f},  // left strip, inside
        {0.5f, 0.5f, 0.6f, 0.3f},    // right strip, outside
        {-0.5f, 0.5f, 0.0f, 0.3f},   // fill: length 1 / 2 x count 1
    };
    auto px = [](float ndc) { return (ndc + 1) * 100; };
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const FeedbackQuad& q = (*quads)[i];
        EXPECT_NEAR(q[0].x, px(want[i][0]), 1e-3);
        EXPECT_NEAR(q[0].y, px(want[i][1]), 1e-3);
        EXPECT_NEAR(q[1].x, px(want[i][0]), 1e-3);
        EXPECT_NEAR(q[1].y, px(want[i][3]), 1e-3);
        EXPECT_NEAR(q[2].x, px(want[i][2]), 1e-3);
        EXPECT_NEAR(q[2].y, px(want[i][3]), 1e-3);
        EXPECT_NEAR(q[3].x, px(want[i][2]), 1e-3);
        EXPECT_NEAR(q[3].y, px(want[i][1]), 1e-3);
        EXPECT_FLOAT_EQ(q[0].z, 0.5f);
    }
}

TEST(LoadingScreen, EachUpdateAdvancesTheFillAndWarnsFromThe36thOn)
{
    // A quarter of the 1024 x 768 text frame, so frame = 4 x window.
    GlTestWindow w(256, 192);
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    writeBytes(dir.path / "demofont.glf", glfBytes(codeNamingFont()));
    WorkingDirectory inside(dir.path);
    GLWrapper::Texture background("data/loadingscreen.jpg"); // absent here: drawn untextured

    const auto bar = showBar();
    ASSERT_NE(bar, nullptr);
    const float left = -0.838f, length = 1.278f;
    for (int k = 1; k <= 37; ++k) {
        SCOPED_TRACE("update " + std::to_string(k));
        int result = 99;
        const auto quads = quadsFromFeedback(
            captureFeedback([&] { result = updateLoadingScreen(w.window, bar.get(), background); }));
        ASSERT_TRUE(quads.has_value());
        EXPECT_EQ(bar->count, k);
        EXPECT_EQ(result, k <= 35 ? 0 : -1);

        // The bar first (the first fill has no width and covers nothing),
        // the background last, the text between.
        const size_t barQuads = k == 1 ? 4 : 5;
        ASSERT_GT(quads->size(), barQuads + 1);
        if (k > 1) {
            const float fillRight = static_cast<float>(left + length / 35.0 * (k - 1));
            EXPECT_NEAR((*quads)[4][2].x, (fillRight + 1) / 2 * 256, 1e-3);
        }
        const FeedbackQuad& back = quads->back();
        EXPECT_FLOAT_EQ(back[0].x, 0);
        EXPECT_FLOAT_EQ(back[0].y, 192);
        EXPECT_FLOAT_EQ(back[2].x, 256);
        EXPECT_FLOAT_EQ(back[2].y, 0);
        EXPECT_NEAR(back[0].z, 0.505, 1e-6);
        EXPECT_FLOAT_EQ(back[0].s, 0);
        EXPECT_FLOAT_EQ(back[0].t, 0);

        // Text lines keyed by the frame y of their top edge.
        std::map<float, std::string> lines;
        for (size_t i = barQuads; i + 1 < quads->size(); ++i) {
            const FeedbackQuad& q = (*quads)[i];
            lines[4 * q[0].y] += static_cast<char>(std::lround(q[0].s * 256));
        }
        ASSERT_EQ(lines.size(), 2u);
        const std::string first = k <= 35 ? "Loading Quorblestration 9"
                                          : "Entries skulle v\xE6rt minst " + std::to_string(k);
        EXPECT_EQ(lines[94.5f], first);
        EXPECT_EQ(lines[40.5f], "Textures");
    }
}

TEST(LoadingScreen, BarAndTextStayInFrontOfTheBackground)
{
    GlTestWindow w(256, 192);
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    // Every glyph: left half opaque, right half fully transparent.
    GlfContents font = fontForRange(32, 126, [](int32_t) { return GlfGlyph{1, 1, 0, 0.5f, 1, 0.5f}; });
    font.textureWidth = 4;
    font.texels = {255, 255, 255, 255, 255, 0, 255, 0};
    writeBytes(dir.path / "demofont.glf", glfBytes(font));
    ASSERT_TRUE(saveSolidPng((dir.path / "blue.png").string(), 0, 0, 255));
    WorkingDirectory inside(dir.path);
    GLWrapper::Texture background("blue.png");

    std::vector<uint8_t> frame;
    w.window.setPresentHook([&] { frame = readPixels(256, 192); });
    auto at = [&](int x, int y) {
        const uint8_t* p = frame.data() + (static_cast<size_t>(y) * 256 + x) * 4;
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    const std::array<int, 3> white{255, 255, 255}, blue{0, 0, 255}, black{0, 0, 0};

    for (bool withStatus : {true, false}) {
        SCOPED_TRACE(withStatus ? "with a status line" : "without a status line");
        // Fill after the second update: half of length 1, x -0.9 to -0.4.
        const auto bar = createProgressBar(-0.9f, 0.9f, 0.1f, 0.5f, 0.05f, 2, "AA", withStatus ? "AA" : nullptr);
        ASSERT_NE(bar, nullptr);
        updateLoadingScreen(w.window, bar.get(), background);
        frame.clear();
        EXPECT_EQ(updateLoadingScreen(w.window, bar.get(), background), 0);
        ASSERT_EQ(frame.size(), 256u * 192 * 4) << "nothing was presented";

        EXPECT_EQ(at(44, 163), white) << "the fill";
        EXPECT_EQ(at(128, 163), blue) << "inside the frame, past the fill";
        EXPECT_EQ(at(200, 100), blue) << "open background";
        // Caption: first glyph spans window x 20.25..27, y 16.9..23.6.
        EXPECT_EQ(at(21, 20), white) << "opaque half of a caption glyph";
        EXPECT_EQ(at(25, 20), black) << "transparent half: clear colour, background hidden";
        // Status line: y 3.4..10.1.
        EXPECT_EQ(at(21, 6), withStatus ? white : blue);
        EXPECT_EQ(at(25, 6), withStatus ? black : blue);
    }

    // The state every later frame starts from.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

// Render targets and their filters, checked on pixels read back from the
// window and on the GL state they leave behind.
#include "gfx/render_target.h"

#include "gl_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Opaque pixels in which neighbours differ, so any shift, flip or filtering
// error shows.
std::vector<uint8_t> noisePattern(int width, int height)
{
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
    uint32_t state = 12345u;
    for (size_t i = 0; i < px.size(); i += 4) {
        for (size_t c = 0; c < 3; ++c) {
            state = state * 1664525u + 1013904223u;
            px[i + c] = static_cast<uint8_t>(state >> 24);
        }
        px[i + 3] = 255;
    }
    return px;
}

// Writes pixels at the window's lower-left corner, untouched by depth,
// texturing or blending.
void putPixels(int x, int y, int width, int height, const uint8_t* rgba)
{
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glWindowPos2i(x, y);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPopAttrib();
}

void clearTo(float r, float g, float b)
{
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The lower-left width x height block of a window-wide read-back.
std::vector<uint8_t> block(const std::vector<uint8_t>& window, int windowWidth, int width, int height)
{
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const auto row = window.begin() + (static_cast<ptrdiff_t>(y) * windowWidth) * 4;
        out.insert(out.end(), row, row + width * 4);
    }
    return out;
}

// Number of pixels whose colour (alpha aside) differs.
int differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int count = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2])
            ++count;
    return count;
}

std::array<GLint, 4> viewport()
{
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

std::array<GLint, 4> wholeWindow(int w, int h) { return {0, 0, w, h}; }

// ---------------------------------------------------------------- sizes

struct SizeCase {
    int width, height;
    int textureWidth, textureHeight;
    float maxU, maxV;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.width << "x" << c.height; }

class RenderTargetSize : public testing::TestWithParam<SizeCase> {};

TEST_P(RenderTargetSize, PowerOfTwoTextureAndCoordinateLimits)
{
    const SizeCase c = GetParam();
    GlTestWindow w(64, 64);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(c.width, c.height, 1920, 4096);
    EXPECT_EQ(t.width, c.width);
    EXPECT_EQ(t.height, c.height);
    EXPECT_EQ(t.textureWidth, c.textureWidth);
    EXPECT_EQ(t.textureHeight, c.textureHeight);
    EXPECT_EQ(t.maxU, c.maxU);
    EXPECT_EQ(t.maxV, c.maxV);
    EXPECT_EQ(t.screenWidth, 1920);
    EXPECT_EQ(t.screenHeight, 4096);
    // The texture really has that size, and create leaves it bound.
    GLint bound = 0, texW = 0, texH = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texW);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texH);
    EXPECT_EQ(static_cast<GLuint>(bound), t.texture);
    EXPECT_EQ(texW, c.textureWidth);
    EXPECT_EQ(texH, c.textureHeight);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Table, RenderTargetSize,
                         testing::Values(SizeCase{1920, 1080, 2048, 2048, 0.9375f, 0.52734375f},
                                         SizeCase{800, 600, 1024, 1024, 0.78125f, 0.5859375f},
                                         SizeCase{128, 128, 128, 128, 1.0f, 1.0f},
                                         SizeCase{1, 2, 2, 2, 0.5f, 1.0f},
                                         SizeCase{3, 2049, 4, 4096, 0.75f, 0.500244140625f}));

TEST(RenderTargetCreate, FreshTargetIsBlack)
{
    GlTestWindow w(800, 600);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(800, 600, 800, 600);
    clearTo(1, 1, 1);
    t.drawFullScreen();
    const std::vector<uint8_t> px = readPixels(800, 600);
    EXPECT_EQ(differingPixels(px, std::vector<uint8_t>(px.size(), 0)), 0);
}

// ------------------------------------------------- capture and draw back

class RenderTargetRoundTrip : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(RenderTargetRoundTrip, DrawFullScreenReproducesCapturedFrame)
{
    const auto [width, height] = GetParam();
    GlTestWindow w(width, height);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(width, height, width, height);
    const std::vector<uint8_t> pattern = noisePattern(width, height);
    t.begin();
    putPixels(0, 0, width, height, pattern.data());
    t.capture();
    clearTo(0.5f, 0.0f, 1.0f);
    t.drawFullScreen();
    EXPECT_EQ(differingPixels(readPixels(width, height), pattern), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, RenderTargetRoundTrip,
                         testing::Values(std::pair{800, 600}, std::pair{1920, 1080}));

TEST(RenderTargetCapture, BeginThenCaptureKeepsWhatTheBufferHeld)
{
    GlTestWindow w(256, 192);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(128, 128, 256, 192);
    const std::vector<uint8_t> pattern = noisePattern(128, 128);
    putPixels(0, 0, 128, 128, pattern.data());
    t.begin();
    t.capture();
    clearTo(0, 0, 0);
    t.begin();
    t.drawFullScreen();
    EXPECT_EQ(differingPixels(block(readPixels(256, 192), 256, 128, 128), pattern), 0);
}

// drawQuad moves the quad by (x, y) and grows it by (growW, growH) pixels of
// the window, whatever the viewport; the picture's corners stay on its
// corners.
struct QuadCase {
    float x, y, growW, growH;
    float left, bottom, right, top; // expected window coordinates
};

void PrintTo(const QuadCase& c, std::ostream* os)
{
    *os << "move " << c.x << "," << c.y << " grow " << c.growW << "," << c.growH;
}

class RenderTargetQuad : public testing::TestWithParam<QuadCase> {};

TEST_P(RenderTargetQuad, CornersFollowOffsetAndGrowth)
{
    const QuadCase c = GetParam();
    GlTestWindow w(800, 600);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(800, 600, 800, 600);
    const auto prims = captureFeedback([&] { t.drawQuad(c.x, c.y, c.growW, c.growH); });
    const struct {
        float x, y, s, t;
    } want[4] = {{c.left, c.bottom, 0, 0},
                 {c.right, c.bottom, t.maxU, 0},
                 {c.right, c.top, t.maxU, t.maxV},
                 {c.left, c.top, 0, t.maxV}};
    // The driver may split the quad into triangles: every vertex that
    // reaches it must be one of the corners, and every corner must come.
    bool seen[4] = {false, false, false, false};
    size_t vertices = 0;
    for (const FeedbackPrimitive& prim : prims) {
        EXPECT_EQ(prim.kind, static_cast<GLenum>(GL_POLYGON_TOKEN));
        for (const FeedbackVertex& v : prim.vertices) {
            ++vertices;
            int corner = -1;
            for (int i = 0; i < 4; ++i)
                if (std::abs(v.x - want[i].x) < 1e-3f && std::abs(v.y - want[i].y) < 1e-3f)
                    corner = i;
            ASSERT_GE(corner, 0) << "vertex at " << v.x << ", " << v.y;
            EXPECT_FLOAT_EQ(v.s, want[corner].s) << "corner " << corner;
            EXPECT_FLOAT_EQ(v.t, want[corner].t) << "corner " << corner;
            seen[corner] = true;
        }
    }
    EXPECT_GE(vertices, 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(seen[i]) << "corner " << i;
}

INSTANTIATE_TEST_SUITE_P(Table, RenderTargetQuad,
                         testing::Values(QuadCase{0, 0, 0, 0, 0, 0, 800, 600},
                                         QuadCase{80, 60, -400, -300, 80, 60, 480, 360},
                                         QuadCase{40, 30, -80, -60, 40, 30, 760, 570}));

TEST(RenderTargetAdditive, AddsTintedWeightedPicture)
{
    GlTestWindow w(64, 64);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(64, 64, 64, 64);
    clearTo(0.4f, 0.4f, 0.4f); // 102
    t.begin();
    t.capture();
    clearTo(0.2f, 0.2f, 0.2f); // 51
    t.drawAdditive(1.0f, 0.5f, 0.0f, 0.5f);
    const auto px = readPixel(10, 10);
    EXPECT_NEAR(px[0], 51 + 51, 1);
    EXPECT_NEAR(px[1], 51 + 26, 1);
    EXPECT_EQ(px[2], 51);
}

TEST(RenderTargetCopy, ShrinksWholePictureIntoDestination)
{
    GlTestWindow w(800, 600);
    ASSERT_TRUE(w.isReady());
    RenderTarget frame(800, 600, 800, 600);
    RenderTarget small(128, 128, 800, 600);
    // Left half red, right half blue, top quarter green.
    std::vector<uint8_t> picture(800 * 600 * 4);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            uint8_t* p = &picture[(static_cast<size_t>(y) * 800 + x) * 4];
            p[0] = x < 400 && y < 450 ? 255 : 0;
            p[1] = y >= 450 ? 255 : 0;
            p[2] = x >= 400 && y < 450 ? 255 : 0;
            p[3] = 255;
        }
    putPixels(0, 0, 800, 600, picture.data());
    frame.capture();
    frame.copyTo(small);
    clearTo(0, 0, 0);
    small.begin();
    small.drawFullScreen();
    struct Probe {
        int x, y;
        std::array<uint8_t, 3> rgb;
    };
    for (const Probe& p : {Probe{5, 5, {255, 0, 0}}, Probe{122, 5, {0, 0, 255}}, Probe{5, 122, {0, 255, 0}},
                           Probe{122, 122, {0, 255, 0}}, Probe{30, 60, {255, 0, 0}}, Probe{100, 60, {0, 0, 255}}}) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        const auto px = readPixel(p.x, p.y);
        EXPECT_EQ(px[0], p.rgb[0]);
        EXPECT_EQ(px[1], p.rgb[1]);
        EXPECT_EQ(px[2], p.rgb[2]);
    }
}

// A small target magnified over the window: light at one edge of the
// picture must not leak round to the opposite edge of the window.
TEST(RenderTargetEdges, MagnifiedPictureDoesNotWrapAround)
{
    GlTestWindow w(800, 600);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(128, 128, 800, 600);
    std::vector<uint8_t> picture(128 * 128 * 4, 0);
    for (int i = 0; i < 128; ++i) {
        for (int ch = 0; ch < 4; ++ch) {
            picture[(static_cast<size_t>(i) * 128 + 127) * 4 + ch] = 255; // right column
            picture[(static_cast<size_t>(127) * 128 + i) * 4 + ch] = 255; // top row
        }
    }
    clearTo(0, 0, 0);
    putPixels(0, 0, 128, 128, picture.data());
    t.capture();
    clearTo(0, 0, 0);
    t.drawFullScreen();
    const std::vector<uint8_t> px = readPixels(800, 600);
    int leaked = 0;
    for (int y = 0; y < 560; ++y) // the left column, below the lit top row
        leaked += px[(static_cast<size_t>(y) * 800) * 4] != 0;
    for (int x = 0; x < 760; ++x) // the bottom row, left of the lit column
        leaked += px[static_cast<size_t>(x) * 4] != 0;
    EXPECT_EQ(leaked, 0);
    EXPECT_EQ(px[(static_cast<size_t>(300) * 800 + 799) * 4], 255); // the lit column reaches the right edge
}

// ------------------------------------------------------------------ blur

TEST(RenderTargetBlur, RadiusZeroStrengthOneKeepsPicture)
{
    GlTestWindow w(256, 192);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(128, 128, 256, 192);
    clearTo(1, 1, 0);
    const std::vector<uint8_t> pattern = noisePattern(128, 128);
    t.begin();
    putPixels(0, 0, 128, 128, pattern.data());
    t.capture();
    t.blurPass(3, 0, 1.0f, 1.0f, 1.0f, 0.0f);
    const std::vector<uint8_t> after = readPixels(256, 192);
    EXPECT_EQ(differingPixels(block(after, 256, 128, 128), pattern), 0);
    // The rest of the window is blanked.
    for (const auto& [x, y] : {std::pair{200, 20}, std::pair{20, 180}, std::pair{255, 191}}) {
        const uint8_t* p = &after[(static_cast<size_t>(y) * 256 + x) * 4];
        EXPECT_EQ(p[0] + p[1] + p[2], 0) << x << "," << y;
    }
    // And the texture holds the result.
    clearTo(0, 0, 0);
    t.begin();
    t.drawFullScreen();
    EXPECT_EQ(differingPixels(block(readPixels(256, 192), 256, 128, 128), pattern), 0);
}

// Weights of one bright pixel after `passes` box passes of radius 1 whose tap
// spacing is the pass number: offsets -6..+6 for three passes.
std::vector<double> spreadWeights(int passes)
{
    const int reach = passes * (passes + 1) / 2;
    std::vector<double> w(static_cast<size_t>(2 * reach + 1), 0.0);
    w[static_cast<size_t>(reach)] = 1.0;
    for (int i = 1; i <= passes; ++i) {
        std::vector<double> next(w.size(), 0.0);
        for (int k = 0; k < static_cast<int>(w.size()); ++k)
            for (int tap : {-i, 0, i})
                if (k + tap >= 0 && k + tap < static_cast<int>(w.size()))
                    next[static_cast<size_t>(k + tap)] += w[static_cast<size_t>(k)] / 3.0;
        w = next;
    }
    return w;
}

struct SpreadCase {
    int width, height;
    float dirX, dirY;
};

void PrintTo(const SpreadCase& c, std::ostream* os)
{
    *os << c.width << "x" << c.height << " along " << c.dirX << "," << c.dirY;
}

class RenderTargetSpread : public testing::TestWithParam<SpreadCase> {};

TEST_P(RenderTargetSpread, ThreePassesSpreadOnePixelOverSixEachWay)
{
    const SpreadCase c = GetParam();
    GlTestWindow w(256, 256);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(c.width, c.height, 256, 256);
    const int cx = c.width / 2, cy = c.height / 2;
    clearTo(0, 0, 0);
    const uint8_t white[4] = {255, 255, 255, 255};
    putPixels(cx, cy, 1, 1, white);
    t.begin();
    t.capture();
    t.blurPass(3, 1, 1.0f, 1.0f, c.dirX, c.dirY);

    const std::vector<uint8_t> px = readPixels(256, 256);
    const std::vector<double> weights = spreadWeights(3);
    ASSERT_EQ(weights.size(), 13u);
    const bool dx = c.dirX != 0;
    double sum = 0;
    int litElsewhere = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const int value = px[(static_cast<size_t>(y) * 256 + x) * 4];
            const int along = dx ? x - cx : y - cy;
            const bool onLine = dx ? y == cy : x == cx;
            if (onLine && std::abs(along) <= 6) {
                // Each pass rounds each blended tap to 8 bits.
                EXPECT_NEAR(value, 255.0 * weights[static_cast<size_t>(along + 6)], 2.0) << "offset " << along;
                sum += value;
            } else if (value != 0) {
                ++litElsewhere;
            }
        }
    EXPECT_EQ(litElsewhere, 0);
    EXPECT_NEAR(sum, 255.0, 13.0); // weights sum to 1, give or take a level per pixel
}

INSTANTIATE_TEST_SUITE_P(Directions, RenderTargetSpread,
                         testing::Values(SpreadCase{128, 128, 1, 0}, SpreadCase{128, 128, 0, 1},
                                         // spread counts pixels of the target along each axis
                                         SpreadCase{128, 64, 0, 1}, SpreadCase{64, 128, 1, 0}));

// ------------------------------------------------- viewport after capture

struct ViewportCase {
    int windowWidth, windowHeight;
    const char* operation;
};

void PrintTo(const ViewportCase& c, std::ostream* os)
{
    *os << c.operation << " in " << c.windowWidth << "x" << c.windowHeight;
}

class RenderTargetViewport : public testing::TestWithParam<ViewportCase> {};

TEST_P(RenderTargetViewport, EveryCaptureLeavesTheWholeWindow)
{
    const ViewportCase c = GetParam();
    GlTestWindow w(c.windowWidth, c.windowHeight);
    ASSERT_TRUE(w.isReady());
    RenderTarget frame(c.windowWidth, c.windowHeight, c.windowWidth, c.windowHeight);
    RenderTarget glow(128, 128, c.windowWidth, c.windowHeight);
    const std::string op = c.operation;
    glViewport(3, 5, 17, 19);
    if (op == "capture frame") {
        frame.begin();
        frame.capture();
    } else if (op == "capture glow") {
        glow.begin();
        glow.capture();
    } else if (op == "copy frame to glow") {
        frame.copyTo(glow);
    } else if (op == "copy glow to frame") {
        glow.copyTo(frame);
    } else if (op == "blur pass glow") {
        glow.blurPass(1, 1, 1.0f, 1.0f, 0.0f, 1.0f);
    } else if (op == "blur glow") {
        glow.blur(3, 1, 1.0f, 1.0f);
    } else if (op == "blur frame") {
        frame.blur(1, 2, 1.0f, 1.0f);
    } else {
        FAIL() << "unknown operation " << op;
    }
    EXPECT_EQ(viewport(), wholeWindow(c.windowWidth, c.windowHeight));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Table, RenderTargetViewport, [] {
    std::vector<ViewportCase> cases;
    for (const auto [w, h] : {std::pair{1920, 1080}, std::pair{800, 600}})
        for (const char* op : {"capture frame", "capture glow", "copy frame to glow", "copy glow to frame",
                               "blur pass glow", "blur glow", "blur frame"})
            cases.push_back({w, h, op});
    return testing::ValuesIn(cases);
}());

// ------------------------------------------------ state left by the filters

enum class Keep { unchanged, changed };

struct StateCase {
    const char* operation;
    bool wholeWindowViewport;  // else the viewport set before
    Keep blending;             // changed: disabled
    Keep blendFactors;         // changed: (GL_SRC_ALPHA, GL_ONE)
    Keep colour;               // changed: white
    Keep clearColour;          // changed: opaque black
    bool destinationBound;     // else this target's texture
    bool blanksBuffer;         // a pixel outside every target is cleared
    bool drawsNothing;         // the whole buffer stays as it was
};

void PrintTo(const StateCase& c, std::ostream* os) { *os << c.operation; }

class RenderTargetState : public testing::TestWithParam<StateCase> {};

TEST_P(RenderTargetState, LeavesTheDescribedState)
{
    const StateCase c = GetParam();
    const std::string op = c.operation;
    GlTestWindow w(800, 600);
    ASSERT_TRUE(w.isReady());
    RenderTarget source(128, 128, 800, 600);
    RenderTarget destination(64, 64, 800, 600);

    // A state unlike anything the filters set.
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3, 5, -7, 11, -13, 17);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.5f, -0.25f, 2.0f);
    glMatrixMode(GL_PROJECTION);
    GLfloat projectionBefore[16], modelviewBefore[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);
    glViewport(300, 200, 100, 80);
    const std::vector<uint8_t> before = readPixels(800, 600);

    if (op == "drawQuad")
        source.drawQuad(0, 0, 0, 0);
    else if (op == "drawFullScreen")
        source.drawFullScreen();
    else if (op == "drawAdditive")
        source.drawAdditive(0.5f, 0.5f, 0.5f, 0.5f);
    else if (op == "copyTo")
        source.copyTo(destination);
    else if (op == "blurPass")
        source.blurPass(2, 1, 1.0f, 1.0f, 1.0f, 0.0f);
    else if (op == "blurPass 0 passes")
        source.blurPass(0, 1, 1.0f, 1.0f, 1.0f, 0.0f);
    else if (op == "blur")
        source.blur(1, 1, 1.0f, 0.5f);
    else
        FAIL() << "unknown operation " << op;

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::array<GLint, 4> viewportBefore{300, 200, 100, 80};
    EXPECT_EQ(viewport(), c.wholeWindowViewport ? wholeWindow(800, 600) : viewportBefore);
    EXPECT_EQ(glIsEnabled(GL_BLEND), c.blending == Keep::unchanged ? GL_TRUE : GL_FALSE);
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    if (c.blendFactors == Keep::unchanged) {
        EXPECT_EQ(src, GL_DST_COLOR);
        EXPECT_EQ(dst, GL_ZERO);
    } else {
        EXPECT_EQ(src, GL_SRC_ALPHA);
        EXPECT_EQ(dst, GL_ONE);
    }
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    GLfloat colour[4], clear[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    const std::array<GLfloat, 4> colourNow{colour[0], colour[1], colour[2], colour[3]};
    const std::array<GLfloat, 4> clearNow{clear[0], clear[1], clear[2], clear[3]};
    EXPECT_EQ(colourNow, (c.colour == Keep::unchanged ? std::array<GLfloat, 4>{0.25f, 0.5f, 0.75f, 0.5f}
                                                      : std::array<GLfloat, 4>{1, 1, 1, 1}));
    EXPECT_EQ(clearNow, (c.clearColour == Keep::unchanged ? std::array<GLfloat, 4>{0.1f, 0.2f, 0.3f, 0.4f}
                                                          : std::array<GLfloat, 4>{0, 0, 0, 1}));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), c.destinationBound ? destination.texture : source.texture);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat projectionAfter[16], modelviewAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(projectionAfter[i], projectionBefore[i]) << i;
        EXPECT_EQ(modelviewAfter[i], modelviewBefore[i]) << i;
    }

    const std::vector<uint8_t> after = readPixels(800, 600);
    const uint8_t* far = &after[(static_cast<size_t>(550) * 800 + 750) * 4];
    const uint8_t* farBefore = &before[(static_cast<size_t>(550) * 800 + 750) * 4];
    if (c.blanksBuffer) {
        EXPECT_EQ(far[0] + far[1] + far[2], 0);
    } else {
        EXPECT_TRUE(far[0] == farBefore[0] && far[1] == farBefore[1] && far[2] == farBefore[2]);
    }
    if (c.drawsNothing) {
        EXPECT_EQ(differingPixels(after, before), 0);
    }
}

constexpr Keep U = Keep::unchanged;
constexpr Keep C = Keep::changed;

INSTANTIATE_TEST_SUITE_P(
    Table, RenderTargetState,
    testing::Values(
        //        operation            whole  blend factors colour clear  dest   blank  nothing
        StateCase{"drawQuad",           false, U,    U,      U,     U,     false, false, false},
        StateCase{"drawFullScreen",     false, U,    U,      U,     U,     false, false, false},
        StateCase{"drawAdditive",       false, C,    C,      C,     U,     false, false, false},
        StateCase{"copyTo",             true,  C,    U,      U,     U,     true,  false, false},
        StateCase{"blurPass",           true,  C,    C,      C,     C,     false, true,  false},
        StateCase{"blurPass 0 passes",  false, C,    C,      C,     U,     false, false, true},
        StateCase{"blur",               true,  C,    C,      C,     C,     false, true,  false}),
    [](const testing::TestParamInfo<StateCase>& info) {
        std::string name = info.param.operation;
        for (char& ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

// --------------------------------------------------------- oversize clamp

// A target the driver cannot hold is shrunk to a power of two it takes; the
// scene is then drawn smaller and stretched back, still covering the window.
TEST(RenderTargetClamp, SmallerTextureStillCoversTheWindow)
{
    GlTestWindow w(800, 600);
    ASSERT_TRUE(w.isReady());
    RenderTarget t(800, 600, 800, 600);
    t.create(800, 600, 256); // as if the driver's largest texture were 256
    EXPECT_EQ(t.width, 256);
    EXPECT_EQ(t.height, 256);
    EXPECT_EQ(t.textureWidth, 256);
    EXPECT_EQ(t.textureHeight, 256);
    EXPECT_EQ(t.maxU, 1.0f);
    EXPECT_EQ(t.maxV, 1.0f);

    // Four coloured quadrants drawn into the target's viewport.
    t.begin();
    clearTo(0, 0, 0);
    glDisable(GL_DEPTH_TEST);
    const float quads[4][5] = {{-1, -1, 1, 0, 0}, {0, -1, 0, 1, 0}, {-1, 0, 0, 0, 1}, {0, 0, 1, 1, 1}};
    glBegin(GL_QUADS);
    for (const auto& q : quads) {
        glColor3f(q[2], q[3], q[4]);
        glVertex2f(q[0], q[1]);
        glVertex2f(q[0] + 1, q[1]);
        glVertex2f(q[0] + 1, q[1] + 1);
        glVertex2f(q[0], q[1] + 1);
    }
    glEnd();
    glColor3f(1, 1, 1);
    glEnable(GL_DEPTH_TEST);
    t.capture();
    EXPECT_EQ(viewport(), wholeWindow(800, 600));
    clearTo(0, 0, 0);
    t.drawFullScreen();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const std::vector<uint8_t> px = readPixels(800, 600);
    int black = 0;
    for (size_t i = 0; i < px.size(); i += 4)
        if (px[i] + px[i + 1] + px[i + 2] == 0)
            ++black;
    EXPECT_EQ(black, 0);
    struct Probe {
        int x, y;
        uint8_t r, g, b;
    };
    for (const Probe& p : {Probe{0, 0, 255, 0, 0}, Probe{799, 0, 0, 255, 0}, Probe{0, 599, 0, 0, 255},
                           Probe{799, 599, 255, 255, 255}, Probe{200, 150, 255, 0, 0}, Probe{600, 450, 255, 255, 255}}) {
        const uint8_t* q = &px[(static_cast<size_t>(p.y) * 800 + p.x) * 4];
        EXPECT_EQ(q[0], p.r) << p.x << "," << p.y;
        EXPECT_EQ(q[1], p.g) << p.x << "," << p.y;
        EXPECT_EQ(q[2], p.b) << p.x << "," << p.y;
    }
}

// A window wider or taller than the driver's largest texture: no GL error
// anywhere, and a target that still fits the rules.
TEST(RenderTargetClamp, BeyondDriverLimitLeavesNoGlError)
{
    GlTestWindow w(64, 64);
    ASSERT_TRUE(w.isReady());
    GLint maxTexture = 0;
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    ASSERT_GT(maxTexture, 0);
    const std::pair<int32_t, int32_t> sizes[] = {{maxTexture + 1, 8}, {8, maxTexture * 2}, {INT32_MAX, 4},
                                                 {4, INT32_MAX}, {0, 0}, {-5, -7}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        // The window's own size as the screen size: the frame target.
        RenderTarget t(width, height, width, height);
        RenderTarget glow(128, 128, width, height);
        t.begin();
        t.capture();
        t.drawFullScreen();
        t.copyTo(glow);
        glow.copyTo(t);
        t.blur(1, 1, 1.0f, 1.0f);
        t.drawAdditive(1, 1, 1, 1);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_GE(t.width, 1);
        EXPECT_GE(t.height, 1);
        EXPECT_LE(t.width, t.textureWidth);
        EXPECT_LE(t.height, t.textureHeight);
        EXPECT_LE(t.textureWidth, maxTexture);
        EXPECT_LE(t.textureHeight, maxTexture);
        EXPECT_LE(t.width, maxViewport[0]);
        EXPECT_LE(t.height, maxViewport[1]);
        EXPECT_EQ(t.textureWidth & (t.textureWidth - 1), 0);
        EXPECT_EQ(t.textureHeight & (t.textureHeight - 1), 0);
        EXPECT_LT(t.textureWidth, 2 * std::max(t.width, 2));
        EXPECT_LT(t.textureHeight, 2 * std::max(t.height, 2));
        EXPECT_EQ(t.maxU, static_cast<float>(static_cast<double>(t.width) / t.textureWidth));
        EXPECT_EQ(t.maxV, static_cast<float>(static_cast<double>(t.height) / t.textureHeight));
    }
}

// A window smaller than a target: the target captures no more than the
// window holds.
TEST(RenderTargetClamp, NeverLargerThanTheWindow)
{
    GlTestWindow w(100, 60);
    ASSERT_TRUE(w.isReady());
    RenderTarget glow(128, 128, 100, 60);
    EXPECT_EQ(glow.width, 100);
    EXPECT_EQ(glow.height, 60);
    EXPECT_EQ(glow.textureWidth, 128);
    EXPECT_EQ(glow.textureHeight, 64);
    EXPECT_EQ(glow.maxU, 0.78125f);
    EXPECT_EQ(glow.maxV, 0.9375f);
    // Its picture is the window's, whole.
    const std::vector<uint8_t> pattern = noisePattern(100, 60);
    putPixels(0, 0, 100, 60, pattern.data());
    glow.begin();
    glow.capture();
    clearTo(0, 0, 0);
    glow.drawFullScreen();
    EXPECT_EQ(differingPixels(readPixels(100, 60), pattern), 0);
}

} // namespace

// The glowing-model scene against a plain drawing of the same model: with
// no glow the composite must be that frame exactly, over the whole window;
// with glow it may only add light, and mostly around the model.
#include "effects/glow_model.h"

#include "effects/screen_quads.h"
#include "gfx/model.h"
#include "gfx/render_target.h"
#include "gfx/texture.h"
#include "gl_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cmath>
#include <memory>
#include <ostream>
#include <vector>

namespace {

// The show's assets for this scene, generated into the run folder.
struct GlowScene {
    GlowScene(int w, int h)
        : window(w, h), width(w), height(h)
    {
        if (!window.isReady())
            return;
        model = std::make_unique<Model>("data/rarkube.ebr");
        door = std::make_unique<GLWrapper::Texture>("data/door.jpg");
        frame = std::make_unique<RenderTarget>(w, h, w, h);
        glow = std::make_unique<RenderTarget>(128, 128, w, h);
    }
    bool ready() const { return window.isReady() && model->meshCount > 0 && door->loaded; }

    void clearFrame()
    {
        glViewport(0, 0, width, height);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1, 1, 1, 1);
    }

    // The model as the scene's camera sees it, drawn straight into the
    // window with no render target involved.
    std::vector<uint8_t> plainFrame(float angleDegrees)
    {
        clearFrame();
        glMatrixMode(GL_PROJECTION);
        gluPerspective(65.0, static_cast<double>(1.333f), 1.0, 1900.0);
        glMatrixMode(GL_MODELVIEW);
        gluLookAt(10, 10, 100, 0, 0, 0, 0, 1, 0);
        glRotatef(angleDegrees, 0, 0, 1);
        enableSphereMap();
        door->enable();
        model->draw();
        door->disable();
        disableSphereMap();
        return readPixels(width, height);
    }

    std::vector<uint8_t> sceneFrame(int32_t showTime, float strength)
    {
        clearFrame();
        sceneGlowModel(showTime, model.get(), door.get(), frame.get(), glow.get(), strength);
        return readPixels(width, height);
    }

    GlTestWindow window;
    int width, height;
    std::unique_ptr<Model> model;
    std::unique_ptr<GLWrapper::Texture> door;
    std::unique_ptr<RenderTarget> frame;
    std::unique_ptr<RenderTarget> glow;
};

int differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int count = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2])
            ++count;
    return count;
}

int litPixels(const std::vector<uint8_t>& px)
{
    int count = 0;
    for (size_t i = 0; i + 3 < px.size(); i += 4)
        if (px[i] + px[i + 1] + px[i + 2] > 0)
            ++count;
    return count;
}

struct NoGlowCase {
    int width, height;
    int32_t showTime;
    float angle;           // the spin expected at that time, folded into one turn
    double maxDiffering;   // share of pixels; folding 5600 to 200 degrees moves a few edges
};

void PrintTo(const NoGlowCase& c, std::ostream* os)
{
    *os << c.width << "x" << c.height << " at " << c.showTime << " ms";
}

class GlowModelNoGlow : public testing::TestWithParam<NoGlowCase> {};

// Strength 0 adds black, so what is left is the frame drawn back: it must
// match a plain drawing pixel for pixel, corners included, at any window
// size, and the spin must be 70 degrees per second.
TEST_P(GlowModelNoGlow, CompositeIsThePlainFrameOverTheWholeWindow)
{
    const NoGlowCase c = GetParam();
    GlowScene s(c.width, c.height);
    ASSERT_TRUE(s.ready());
    const std::vector<uint8_t> plain = s.plainFrame(c.angle);
    // The model covers a good part of the window, so a mismatch cannot hide.
    ASSERT_GT(litPixels(plain), c.width * c.height / 20);
    const std::vector<uint8_t> composite = s.sceneFrame(c.showTime, 0.0f);
    EXPECT_LE(differingPixels(composite, plain), static_cast<int>(c.maxDiffering * c.width * c.height));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Table, GlowModelNoGlow,
                         testing::Values(NoGlowCase{800, 600, 0, 0.0f, 0.0}, NoGlowCase{800, 600, 1000, 70.0f, 0.0},
                                         NoGlowCase{800, 600, 80000, 200.0f, 0.001},
                                         NoGlowCase{1920, 1080, 0, 0.0f, 0.0},
                                         NoGlowCase{1920, 1080, 85500, 225.0f, 0.001}));

// Strength 1: the glow layer (the blurred glow target magnified over the
// window) is about as bright in total as the frame it came from, reaches
// past the model's outline, and is what the composite adds to the frame.
TEST(GlowModelGlow, AddsASoftHaloAsBrightAsTheFrame)
{
    GlowScene s(800, 600);
    ASSERT_TRUE(s.ready());
    const std::vector<uint8_t> plain = s.plainFrame(200.0f);
    const std::vector<uint8_t> composite = s.sceneFrame(80000, 1.0f);
    s.clearFrame();
    s.glow->drawFullScreen();
    const std::vector<uint8_t> glowLayer = readPixels(800, 600);

    double frameLight = 0, glowLight = 0;
    int halo = 0, notTheSum = 0;
    for (size_t i = 0; i + 3 < plain.size(); i += 4) {
        int plainSum = 0, glowSum = 0;
        bool sumMatches = true;
        for (size_t ch = 0; ch < 3; ++ch) {
            plainSum += plain[i + ch];
            glowSum += glowLayer[i + ch];
            const int expected = std::min(255, plain[i + ch] + glowLayer[i + ch]);
            sumMatches = sumMatches && std::abs(composite[i + ch] - expected) <= 1;
        }
        frameLight += plainSum;
        glowLight += glowSum;
        if (plainSum == 0 && glowSum >= 6)
            ++halo;
        if (!sumMatches)
            ++notTheSum;
    }
    // Edges that differ between 5600 and 200 degrees aside, composite =
    // frame + glow, saturated.
    EXPECT_LE(notTheSum, 800 * 600 / 1000);
    EXPECT_GT(halo, 2000);
    const double ratio = glowLight / frameLight;
    EXPECT_GT(ratio, 0.9);
    EXPECT_LT(ratio, 1.05);
}

TEST(GlowModelState, LeavesTheFiltersStateAndTheWholeWindow)
{
    GlowScene s(800, 600);
    ASSERT_TRUE(s.ready());
    glEnable(GL_BLEND); // as the loading screen leaves it
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    s.sceneFrame(81234, 1.0f);
    std::array<GLint, 4> vp{};
    glGetIntegerv(GL_VIEWPORT, vp.data());
    EXPECT_EQ(vp, (std::array<GLint, 4>{0, 0, 800, 600}));
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    GLint src = 0, dst = 0, bound = 0, mode = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_GEN_S), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_GEN_T), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), s.frame->texture);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat colour[4], clear[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ((std::array<GLfloat, 4>{colour[0], colour[1], colour[2], colour[3]}),
              (std::array<GLfloat, 4>{1, 1, 1, 1}));
    EXPECT_EQ((std::array<GLfloat, 4>{clear[0], clear[1], clear[2], clear[3]}),
              (std::array<GLfloat, 4>{0, 0, 0, 1}));
    // The scene's camera stays loaded: the eye 10, 10, 100 from the origin.
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_NEAR(modelview[14], -std::sqrt(10.0 * 10 + 10 * 10 + 100 * 100), 1e-3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace

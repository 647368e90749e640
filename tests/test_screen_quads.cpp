#include "effects/screen_quads.h"
#include "gl_test_support.h"
#include "glf_fixture.h"
#include "quad_feedback.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr int side = 64; // window size; clip x or y of -1..1 maps to 0..64

// Window point of clip coordinate c.
float windowOf(double c) { return static_cast<float>((c + 1) / 2 * side); }

// A texture without an image: the feedback still carries its coordinates.
GLWrapper::Texture blankTexture() { return GLWrapper::Texture("no-picture-here.png"); }

void expectCorner(const FeedbackVertex& v, double x, double y, double z, double s, double t)
{
    EXPECT_FLOAT_EQ(v.x, windowOf(x));
    EXPECT_FLOAT_EQ(v.y, windowOf(y));
    EXPECT_NEAR(v.z, (z + 1) / 2, 1e-6);
    EXPECT_NEAR(v.s, s, 1e-6);
    EXPECT_NEAR(v.t, t, 1e-6);
}

} // namespace

TEST(ScreenQuad, CornersFollowTheCallAndCullingDecidesWhatShows)
{
    GlTestWindow w(side, side);
    ASSERT_TRUE(w.isReady());
    GLWrapper::Texture texture = blankTexture();
    struct Case {
        const char* what;
        double x1, y1, x2, y2;
        bool drawn;
    };
    const Case cases[] = {
        {"top-left to bottom-right", -1, 1, 0.5, -0.5, true},
        {"bottom-right to top-left", 0.5, -0.5, -1, 1, true},
        {"bottom-left to top-right runs clockwise", -1, -1, 1, 1, false},
        {"top-right to bottom-left runs clockwise", 1, 1, -1, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto quads = quadsFromFeedback(captureFeedback(
            [&] { drawScreenQuad(c.x1, c.y1, -0.25, c.x2, c.y2, texture, 0.1, 0.2, 0.7, 0.9); }));
        ASSERT_TRUE(quads.has_value());
        if (!c.drawn) {
            EXPECT_TRUE(quads->empty());
            continue;
        }
        ASSERT_EQ(quads->size(), 1u);
        const FeedbackQuad& q = quads->front();
        expectCorner(q[0], c.x1, c.y1, -0.25, 0.1, 0.2);
        expectCorner(q[1], c.x1, c.y2, -0.25, 0.1, 0.9);
        expectCorner(q[2], c.x2, c.y2, -0.25, 0.7, 0.9);
        expectCorner(q[3], c.x2, c.y1, -0.25, 0.7, 0.2);
    }
}

TEST(ScreenQuad, IgnoresTheCallersMatricesAndLeavesThemIdentity)
{
    GlTestWindow w(side, side);
    ASSERT_TRUE(w.isReady());
    GLWrapper::Texture texture = blankTexture();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, 1, 0.1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3, 4, -20);
    glMatrixMode(GL_TEXTURE); // even a stray matrix mode is put right

    const auto quads =
        quadsFromFeedback(captureFeedback([&] { drawScreenImage(-1, 1, 1, -1, texture); }));
    ASSERT_TRUE(quads.has_value());
    ASSERT_EQ(quads->size(), 1u);
    expectCorner((*quads)[0][0], -1, 1, 0.01, 0, 0); // depth 0.505, image top at the top
    expectCorner((*quads)[0][2], 1, -1, 0.01, 1, 1);

    GLint mode = 0, bound = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    for (GLenum which : {GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX}) {
        GLfloat m[16];
        glGetFloatv(which, m);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << "matrix " << which << " element " << i;
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture.textureId);
}

TEST(ScreenQuad, RollUpLiftsTheLowerEdgeForTwoSeconds)
{
    GlTestWindow w(side, side);
    ASSERT_TRUE(w.isReady());
    GLWrapper::Texture texture = blankTexture();
    struct Case {
        const char* what;
        uint32_t ms;
        int mode;
        double t2;
        size_t quadCount;
        double wipeY, wipeT; // where the line and its texel row are
    };
    const Case cases[] = {
        // The lower quad has no height yet and so covers nothing.
        {"start: the whole picture", 0, 1, 1.0, 1, -1.0, 1.0},
        {"one second: line at the middle, row 0.5 below", 1000, 1, 1.0, 2, 0.0, 0.5},
        {"1.5 s", 1500, 1, 1.0, 2, 0.5, 0.25},
        {"two seconds: over", 2000, 1, 1.0, 0, 0, 0},
        {"2^31 ms is a long time, not a negative one", 0x80000000u, 1, 1.0, 0, 0, 0},
        {"t2 = 0 never draws", 500, 1, 0.0, 0, 0, 0},
        {"mode 0 draws nothing", 500, 0, 1.0, 0, 0, 0},
        {"mode 2 draws nothing", 500, 2, 1.0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto quads = quadsFromFeedback(captureFeedback(
            [&] { drawImageRollUp(c.ms, c.mode, -1, 1, 0.1, 1, -1, texture, 0, 0, 1, c.t2); }));
        ASSERT_TRUE(quads.has_value());
        ASSERT_EQ(quads->size(), c.quadCount);
        if (c.quadCount == 0)
            continue;
        const FeedbackQuad& upper = (*quads)[0];
        expectCorner(upper[0], -1, 1, 0.1, 0, 0);
        expectCorner(upper[1], -1, c.wipeY, 0.1, 0, c.wipeT);
        expectCorner(upper[2], 1, c.wipeY, 0.1, 1, c.wipeT);
        if (c.quadCount < 2)
            continue;
        const FeedbackQuad& lower = (*quads)[1];
        expectCorner(lower[0], -1, c.wipeY, 0.1, 0, c.wipeT);
        expectCorner(lower[1], -1, -1, 0.1, 0, c.wipeT + 0.00001);
        expectCorner(lower[2], 1, -1, 0.1, 1, c.wipeT + 0.00001);
    }
}

TEST(ScreenQuad, FullScreenImageIsUprightEdgeToEdge)
{
    GlTestWindow w(side, side);
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    // Quadrants red, green (top) and blue, white (bottom), 16 x 16.
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 0, SDL_PIXELFORMAT_RGB24), SDL_FreeSurface);
    ASSERT_TRUE(surface);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + 3 * x;
            const bool right = x >= 8, low = y >= 8;
            p[0] = (!low && !right) || (low && right) ? 255 : 0;
            p[1] = (!low && right) || (low && right) ? 255 : 0;
            p[2] = low ? 255 : 0;
        }
    const std::string path = (dir.path / "quadrants.png").string();
    ASSERT_EQ(IMG_SavePNG(surface.get(), path.c_str()), 0);
    GLWrapper::Texture texture(path.c_str());
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
    drawScreenImage(-1, 1, 1, -1, texture);
    // readPixel counts rows from the bottom of the window.
    EXPECT_EQ(readPixel(16, 48), (std::array<uint8_t, 4>{255, 0, 0, 255})) << "top left";
    EXPECT_EQ(readPixel(48, 48), (std::array<uint8_t, 4>{0, 255, 0, 255})) << "top right";
    EXPECT_EQ(readPixel(16, 16), (std::array<uint8_t, 4>{0, 0, 255, 255})) << "bottom left";
    EXPECT_EQ(readPixel(48, 16), (std::array<uint8_t, 4>{255, 255, 255, 255})) << "bottom right";
    // Edge to edge: the corner pixels are covered too (colour depends on wrap).
    for (auto [x, y] : {std::pair{0, 0}, std::pair{63, 0}, std::pair{0, 63}, std::pair{63, 63}}) {
        const auto px = readPixel(x, y);
        EXPECT_GT(px[0] + px[1] + px[2], 0) << x << "," << y;
    }

    // A nearer depth already in the frame hides the image there.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(0, 0, 0);
    glBegin(GL_QUADS);
    glVertex3f(-1, 1, 0);
    glVertex3f(-1, 0, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 1, 0);
    glEnd();
    glColor3f(1, 1, 1);
    drawScreenImage(-1, 1, 1, -1, texture);
    EXPECT_EQ(readPixel(16, 48), (std::array<uint8_t, 4>{0, 0, 0, 255})) << "hidden by the nearer quad";
    EXPECT_EQ(readPixel(48, 48), (std::array<uint8_t, 4>{0, 255, 0, 255}));
}

TEST(ScreenQuad, SphereMapSwitchTogglesBothAxes)
{
    GlTestWindow w(side, side);
    ASSERT_TRUE(w.isReady());
    enableSphereMap();
    GLint s = 0, t = 0;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &s);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &t);
    EXPECT_EQ(s, GL_SPHERE_MAP);
    EXPECT_EQ(t, GL_SPHERE_MAP);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
    disableSphereMap();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &s);
    EXPECT_EQ(s, GL_SPHERE_MAP) << "the mode is left as it was";
}

#include "effects/ring_tunnel.h"
#include "gl_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// Eye-space z of a window-space vertex, through the matrices the scene left.
double objectZ(const FeedbackVertex& v)
{
    GLdouble mv[16], pr[16];
    GLint vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    GLdouble x, y, z;
    gluUnProject(v.x, v.y, v.z, mv, pr, vp, &x, &y, &z);
    return z;
}

std::unique_ptr<RingTable> table(int count)
{
    auto t = std::make_unique<RingTable>(); // value-initialised: unused rings sit at u = 0
    initRingTable(t.get(), count);
    return t;
}

TEST(RingTunnel, InitSpacesRingsATenthApart)
{
    auto t = table(60);
    EXPECT_EQ(t->count, 60);
    EXPECT_EQ(t->base[0], 0.0f);
    EXPECT_EQ(t->base[59], static_cast<float>(59 * 0.1));
    EXPECT_EQ(t->current[59], t->base[59]);
    EXPECT_EQ(t->base[60], 0.0f);
    EXPECT_EQ(table(5000)->count, ringCapacity);
    EXPECT_EQ(table(-3)->count, 0);
}

// One ring, moved to depth parameter u by a negative elapsed time.
TEST(RingTunnel, DepthBrightnessAndPointSizeAtTheirBoundaries)
{
    GlTestWindow w(128, 96);
    ASSERT_TRUE(w.isReady());
    struct Case {
        int32_t elapsedMs;
        double u;
        float pointSize;
        float brightness; // after OpenGL's clamp
        bool visible;
    };
    const Case cases[] = {
        {0, 0.0, 10.0f, 1.0f, false},    // at z = 0, too close to fit the view
        {75, -0.05, 10.38f, 1.0f, false}, // behind the eye: clipped away
        {-750, 0.5, 6.2f, 0.8f, true},
        {-1770, 1.18, 1.032f, 0.528f, true}, // just above the size floor
        {-1800, 1.2, 1.0f, 0.52f, true},     // below it: clamped to 1
        {-3750, 2.5, 1.0f, 0.0f, true},      // brightness reaches 0
        {-4500, 3.0, 1.0f, 0.0f, true},      // below 0: black, not negative
    };
    auto t = table(60);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsedMs);
        const auto prims = captureFeedback([&] { sceneRingTunnel(c.elapsedMs, t.get(), 1, false, GL_POINTS, 0.5f, 0.3f, 0.6f); });
        GLfloat size = 0;
        glGetFloatv(GL_POINT_SIZE, &size);
        EXPECT_NEAR(size, c.pointSize, 1e-4f);
        EXPECT_NEAR(t->current[0], c.u, 1e-6); // u = base - elapsed / 1500, base 0
        if (!c.visible) {
            EXPECT_TRUE(prims.empty());
            continue;
        }
        ASSERT_EQ(prims.size(), 50u);
        for (const FeedbackPrimitive& p : prims) {
            EXPECT_NEAR(objectZ(p.vertices[0]), -1.9 * c.u, 2e-3);
            EXPECT_NEAR(p.vertices[0].r, 0.5f * c.brightness, 1e-5f);
            EXPECT_NEAR(p.vertices[0].g, 0.3f * c.brightness, 1e-5f);
            EXPECT_NEAR(p.vertices[0].b, 0.6f * c.brightness, 1e-5f);
        }
    }
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
}

TEST(RingTunnel, LinesMakeTwentyFiveDashesStartingAtTheTop)
{
    GlTestWindow w(128, 96);
    ASSERT_TRUE(w.isReady());
    auto t = table(60);
    const auto prims = captureFeedback([&] { sceneRingTunnel(-750, t.get(), 1, false, GL_LINES, 1, 1, 1); });
    ASSERT_EQ(prims.size(), 25u);
    // The first dash starts at the top (a = 6.28, a hair left of centre) and
    // runs to the left, towards smaller a.
    const FeedbackVertex& a = prims[0].vertices[0];
    const FeedbackVertex& b = prims[0].vertices[1];
    EXPECT_NEAR(a.x, 64.0f, 0.5f);
    EXPECT_GT(a.y, 48.0f);
    EXPECT_LT(b.x, a.x);
}

TEST(RingTunnel, RingCountIsClampedToTheInitialisedRings)
{
    GlTestWindow w(64, 48);
    ASSERT_TRUE(w.isReady());
    auto t = table(3);
    // All rings far ahead; without the clamp rings 3 to 31 would be drawn too.
    const auto prims = captureFeedback([&] { sceneRingTunnel(-3000, t.get(), 32, false, GL_LINES, 1, 1, 1); });
    EXPECT_EQ(prims.size(), 3u * 25u);
    EXPECT_EQ(t->current[3], 0.0f); // and never written past the count

    const auto none = captureFeedback([&] { sceneRingTunnel(-3000, t.get(), 0, false, GL_LINES, 1, 0, 0); });
    EXPECT_TRUE(none.empty());
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 1.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST(RingTunnel, FadeInScalesBrightnessOverFourSeconds)
{
    GlTestWindow w(64, 48);
    ASSERT_TRUE(w.isReady());
    auto t = table(60);
    struct Case {
        int32_t elapsedMs;
        float factor;
    };
    // At -750 the far rings' brightness is below 0: fading must not flip its sign.
    for (const Case c : {Case{2000, 0.5f}, Case{4000, 1.0f}, Case{-750, 0.0f}}) {
        SCOPED_TRACE(c.elapsedMs);
        const auto plain = captureFeedback([&] { sceneRingTunnel(c.elapsedMs, t.get(), 32, false, GL_LINES, 0.5f, 0.3f, 0.6f); });
        const auto faded = captureFeedback([&] { sceneRingTunnel(c.elapsedMs, t.get(), 32, true, GL_LINES, 0.5f, 0.3f, 0.6f); });
        ASSERT_EQ(plain.size(), faded.size());
        ASSERT_FALSE(plain.empty());
        for (size_t i = 0; i < plain.size(); ++i) {
            EXPECT_NEAR(faded[i].vertices[0].r, plain[i].vertices[0].r * c.factor, 1e-5f);
            EXPECT_NEAR(faded[i].vertices[0].b, plain[i].vertices[0].b * c.factor, 1e-5f);
        }
    }
}

} // namespace

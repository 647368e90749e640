#include "effects/shape_morph.h"
#include "gl_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

constexpr int side = 200;
using Outline = std::array<std::array<float, 2>, 6>; // clip-space x, y

// The six points of the outline, from the start vertex of each line.
Outline capture(uint32_t elapsedMs, int variant, size_t* lineCount = nullptr)
{
    const auto prims = captureFeedback([&] { sceneShapeMorph(elapsedMs, variant); });
    if (lineCount)
        *lineCount = prims.size();
    Outline out{};
    for (size_t k = 0; k < prims.size() && k < 6; ++k) {
        out[k][0] = prims[k].vertices[0].x / (side / 2.0f) - 1;
        out[k][1] = prims[k].vertices[0].y / (side / 2.0f) - 1;
    }
    return out;
}

void expectOutline(const Outline& got, const Outline& want, float tolerance = 2e-4f)
{
    for (size_t k = 0; k < 6; ++k) {
        EXPECT_NEAR(got[k][0], want[k][0], tolerance) << "point " << k;
        EXPECT_NEAR(got[k][1], want[k][1], tolerance) << "point " << k;
    }
}

// The hexagon at scale 0.4: point k at angle m (3.14 / 3), m = 2, 3, 4, 5, 6, 1.
Outline smallHexagon()
{
    const int m[6] = {2, 3, 4, 5, 6, 1};
    Outline h{};
    for (int k = 0; k < 6; ++k)
        h[k] = {0.4f * static_cast<float>(std::sin(m[k] * 3.14 / 3)), 0.4f * static_cast<float>(std::cos(m[k] * 3.14 / 3))};
    return h;
}

const Outline triangle = {{{0, 0.4f}, {0.4f, 0}, {0.8f, -0.4f}, {0, -0.4f}, {-0.8f, -0.4f}, {-0.4f, 0}}};

TEST(ShapeMorph, VariantOneRunsFromTriangleToHexagon)
{
    GlTestWindow w(side, side);
    ASSERT_TRUE(w.isReady());
    size_t lines = 0;
    const auto prims = captureFeedback([] { sceneShapeMorph(0, 1); });
    ASSERT_EQ(prims.size(), 6u); // one closed loop of six lines
    for (const FeedbackPrimitive& p : prims)
        EXPECT_TRUE(p.kind == GL_LINE_TOKEN || p.kind == GL_LINE_RESET_TOKEN);
    EXPECT_FLOAT_EQ(prims[5].vertices[1].x, prims[0].vertices[0].x);
    EXPECT_FLOAT_EQ(prims[0].vertices[0].z, 0.0f); // on the near plane, not clipped

    expectOutline(capture(0, 1, &lines), triangle);
    const Outline hex = smallHexagon();
    EXPECT_NEAR(hex[0][0], 0.4f * 0.8666f, 1e-4f); // H0 at the lower right
    EXPECT_NEAR(hex[0][1], 0.4f * -0.4991f, 1e-4f);
    EXPECT_NEAR(hex[4][1], 0.4f, 1e-4f); // H4 at the top
    expectOutline(capture(2000, 1, &lines), hex);
    EXPECT_EQ(lines, 6u);
    Outline half{};
    for (size_t k = 0; k < 6; ++k)
        half[k] = {(triangle[k][0] + hex[k][0]) / 2, (triangle[k][1] + hex[k][1]) / 2};
    expectOutline(capture(1000, 1), half);
}

TEST(ShapeMorph, VariantsJoinEndToStart)
{
    GlTestWindow w(side, side);
    ASSERT_TRUE(w.isReady());
    const Outline hourglass = {{{-0.45f, 0.45f}, {0.45f, 0.45f}, {0.09f, 0}, {0.45f, -0.45f}, {-0.45f, -0.45f}, {-0.09f, 0}}};
    expectOutline(capture(0, 2), smallHexagon());
    expectOutline(capture(2000, 2), hourglass);
    expectOutline(capture(0, 3), hourglass);
    expectOutline(capture(2000, 3), smallHexagon());
    expectOutline(capture(2000, 1), capture(0, 2), 1e-5f);
    expectOutline(capture(2000, 2), capture(0, 3), 1e-5f);
}

TEST(ShapeMorph, NothingPastTwoSecondsOrForOtherVariants)
{
    GlTestWindow w(side, side);
    ASSERT_TRUE(w.isReady());
    struct Case {
        uint32_t elapsedMs;
        int variant;
    };
    for (const Case c : {Case{2001, 1}, Case{2001, 3}, Case{0xffffffffu, 2}, Case{0, 0}, Case{1000, 4}, Case{0, -1}}) {
        SCOPED_TRACE(c.elapsedMs);
        SCOPED_TRACE(c.variant);
        EXPECT_TRUE(captureFeedback([&] { sceneShapeMorph(c.elapsedMs, c.variant); }).empty());
    }
}

} // namespace

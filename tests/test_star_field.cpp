#include "effects/show_random.h"
#include "effects/star_field.h"
#include "gl_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(StarField, RandomSequenceStartsLikeTheReference)
{
    resetShowRand();
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int e : expected)
        EXPECT_EQ(showRand(), e);
    resetShowRand();
    EXPECT_EQ(showRand(), 41);
}

TEST(StarField, FieldsTakeSixValuesPerStarInOrder)
{
    resetShowRand();
    std::vector<int> sequence(6 * starCount + 6);
    for (int& v : sequence)
        v = showRand();

    resetShowRand();
    std::vector<Star> a(starCount), b(starCount);
    initStarField(a.data());
    initStarField(b.data());

    // The first star of field A, from 41, 18467, 6334, 26500, 19169, 15724.
    EXPECT_FLOAT_EQ(a[0].x, -0.959f);
    EXPECT_FLOAT_EQ(a[0].y, -0.533f);
    EXPECT_FLOAT_EQ(a[0].z, -1.666f);
    EXPECT_FLOAT_EQ(a[0].r, 0.7f);
    EXPECT_FLOAT_EQ(a[0].g, 0.769f);
    EXPECT_FLOAT_EQ(a[0].b, 0.724f);
    // Field B carries on where field A stopped.
    const int* s = &sequence[6 * starCount];
    EXPECT_EQ(b[0].x, static_cast<float>((s[0] % 2000) / 1000.0 - 1));
    EXPECT_EQ(b[0].y, static_cast<float>((s[1] % 2000) / 1000.0 - 1));
    EXPECT_EQ(b[0].z, static_cast<float>((s[2] % 4000) / 1000.0 - 4));
    EXPECT_EQ(b[0].b, static_cast<float>((s[5] % 100) / 1000.0 + 0.7));
    for (const Star& star : b) {
        ASSERT_GE(star.z, -4.0f);
        ASSERT_LT(star.z, 0.0f);
        ASSERT_LE(star.x, 0.999f);
    }
}

TEST(StarField, StepClockConsumesWholeTenMillisecondSteps)
{
    struct Case {
        uint32_t last, elapsed;
        int steps;
        uint32_t lastAfter;
    };
    const Case cases[] = {
        {0, 25, 2, 20},
        {0, 10, 0, 0},
        {0, 11, 1, 10},
        {20, 30, 0, 20},
        {20, 31, 1, 30},
        {5000, 100, 0, 100}, // backwards: resynchronised, not 429 million steps
        {0xfffffff0u, 0xffffffffu, 1, 0xfffffffau},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        lastStarStep = c.last;
        float expected = 0.0f;
        for (int i = 0; i < c.steps; ++i)
            expected = expected + 0.0065f;
        EXPECT_EQ(advanceStarClock(c.elapsed), expected);
        EXPECT_EQ(lastStarStep, c.lastAfter);
    }
    // After a resync the clock runs on from the new time.
    lastStarStep = 5000;
    advanceStarClock(100);
    EXPECT_EQ(advanceStarClock(125), 0.0065f + 0.0065f);
}

TEST(StarField, OnlyStarsPastHalfAUnitAreBornAgain)
{
    std::vector<Star> stars(starCount, Star{0.25f, 0.5f, -2.0f, 0.7f, 0.7f, 0.7f});
    stars[1].z = 0.25f;  // lands on 0.5 exactly: stays
    stars[2].z = 0.375f; // lands past it: born again
    resetShowRand();
    stepStarField(stars.data(), 0.25f);
    EXPECT_EQ(stars[0].z, -1.75f);
    EXPECT_EQ(stars[1].z, 0.5f);
    EXPECT_EQ(stars[2].z, -4.0f);
    // Values 41 and 18467 of the sequence: x reaches past the initial range.
    EXPECT_FLOAT_EQ(stars[2].x, 41 / 1000.0f - 1);
    EXPECT_FLOAT_EQ(stars[2].y, 467 / 1000.0f - 1);
    EXPECT_EQ(stars[2].r, 0.7f);
    EXPECT_EQ(showRand(), 6334); // exactly two values used
}

TEST(StarField, SceneDrawsEachStarBeforeMovingIt)
{
    GlTestWindow w(160, 90);
    ASSERT_TRUE(w.isReady());
    GLWrapper::Texture texture("data/no-such-picture.jpg");
    // Every star hidden behind the near plane but three.
    std::vector<Star> stars(starCount, Star{0, 0, 0.0f, 0.75f, 0.75f, 0.75f});
    stars[7] = {0.1f, 0.1f, -1.5f, 0.7f, 0.76f, 0.79f}; // half its colour
    stars[8] = {-0.2f, 0.0f, -3.0f, 0.7f, 0.7f, 0.7f};  // black
    stars[9] = {0.0f, -0.3f, 0.49f, 0.7f, 0.7f, 0.7f};  // respawns this frame
    lastStarStep = 0;
    resetShowRand();

    const auto prims = captureFeedback([&] { sceneStarField(25, stars.data(), &texture, 0); });
    // Two sprites facing the camera, so not culled; feedback may split a
    // quad into two triangles.
    ASSERT_TRUE(prims.size() == 2u || prims.size() == 4u) << prims.size();
    const size_t perStar = prims.size() / 2;
    for (size_t i = 0; i < perStar; ++i) {
        EXPECT_NEAR(prims[i].vertices[0].r, 0.35f, 1e-5f);
        EXPECT_NEAR(prims[i].vertices[0].g, 0.38f, 1e-5f);
        EXPECT_NEAR(prims[i].vertices[0].b, 0.395f, 1e-5f);
        EXPECT_EQ(prims[perStar + i].vertices[0].r, 0.0f);
        EXPECT_EQ(prims[perStar + i].vertices[0].g, 0.0f);
    }
    // Drawn right of and above centre, the sprite hanging down to the right.
    EXPECT_GT(prims[0].vertices[0].x, 80.0f);
    EXPECT_GT(prims[0].vertices[0].y, 45.0f);

    // Two steps of 0.0065 after drawing; the respawn drew two values.
    EXPECT_EQ(lastStarStep, 20u);
    EXPECT_FLOAT_EQ(stars[7].z, -1.5f + 0.013f);
    EXPECT_EQ(stars[9].z, -4.0f);
    EXPECT_FLOAT_EQ(stars[9].x, 41 / 1000.0f - 1);
    EXPECT_EQ(showRand(), 6334);

    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[0], 1.0f); // the perspective was popped again
    EXPECT_EQ(m[14], 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

} // namespace

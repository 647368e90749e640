#include "audio/music.h"
#include "ebr_fixture.h"
#include "effects/wobble_deform.h"
#include "effects/wobble_sphere.h"
#include "gl_test_support.h"
#include "platform/tick_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t showStart = 72000;
constexpr int32_t showSpan = 8000;
constexpr const char* hisphere = "data/hisphere.ebr";

std::vector<float> positionsOf(const Model& m)
{
    const Mesh& mesh = *m.meshes[0];
    return {mesh.positions.get(), mesh.positions.get() + 3 * mesh.vertexCount};
}

std::vector<float> normalsOf(const Model& m)
{
    const Mesh& mesh = *m.meshes[0];
    return {mesh.normals.get(), mesh.normals.get() + 3 * mesh.vertexCount};
}

std::array<float, 4> clearColour()
{
    std::array<float, 4> c{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, c.data());
    return c;
}

// Which pixels differ from the colour in the corner (the background).
std::vector<bool> coverage(int w, int h)
{
    const std::vector<uint8_t> px = readPixels(w, h);
    std::vector<bool> covered;
    for (size_t i = 0; i < px.size(); i += 4)
        covered.push_back(std::memcmp(&px[i], px.data(), 3) != 0);
    return covered;
}

long countOf(const std::vector<bool>& mask) { return std::count(mask.begin(), mask.end(), true); }

// The sphere scene's inputs, loaded from the run folder.
struct WobbleAssets {
    WobbleAssets() : deformed(hisphere), source(hisphere), blue("data/blue.jpg") {}
    bool ready() const { return deformed.meshCount > 0 && source.meshCount > 0; }
    void draw(int32_t now, int32_t variant = 1)
    {
        sceneWobbleSphere(showStart, now, showSpan, &deformed, &source, &blue, variant);
    }
    Model deformed;
    Model source;
    GLWrapper::Texture blue;
};

} // namespace

TEST(WobbleSphereBackground, FollowsTheBassUpAtOnceAndFallsByAThousandthPerFrame)
{
    GlTestWindow w(8, 8);
    ASSERT_TRUE(w.isReady());
    backgroundLevel = 0.0f;
    const int32_t clock = showStart + 200000;
    const float spectrum[] = {0.5f, 0.2f, 0.2f, 0.6f};
    const float expected[] = {0.5f, 0.499f, 0.498f, 0.6f};
    for (int i = 0; i < 4; ++i) {
        musicSpectrum[2] = spectrum[i];
        wobbleBackground(showStart, clock);
        EXPECT_FLOAT_EQ(backgroundLevel, expected[i]) << "frame " << i;
        const auto c = clearColour();
        EXPECT_FLOAT_EQ(c[0], expected[i]);
        EXPECT_FLOAT_EQ(c[1], expected[i]);
        EXPECT_FLOAT_EQ(c[2], expected[i]);
        EXPECT_FLOAT_EQ(c[3], 0.0f);
        EXPECT_NEAR(readPixel(4, 4)[1], expected[i] * 255.0f, 1.0);
    }
    musicSpectrum[2] = 0.0f;
}

TEST(WobbleSphereBackground, TimeWindowsFromTheSceneStart)
{
    GlTestWindow w(8, 8);
    ASSERT_TRUE(w.isReady());
    struct Case {
        int32_t offset; // clock - start, ms
        float grey;     // expected clear level
    };
    // Loud bass throughout: only the last window may follow it.
    const Case cases[] = {{-5000, 0.0f},   {0, 0.0f},      {40000, 0.0f},  {40500, 0.75f},
                          {41000, 0.5f},   {42000, 0.0f},  {42001, 0.0f},  {100000, 0.0f},
                          {110000, 0.0f},  {110001, 0.9f}, {500000, 0.9f}};
    for (const Case& c : cases) {
        backgroundLevel = 0.0f;
        musicSpectrum[2] = 0.9f;
        glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        wobbleBackground(showStart, showStart + c.offset);
        EXPECT_FLOAT_EQ(clearColour()[0], c.grey) << "offset " << c.offset;
        EXPECT_FLOAT_EQ(clearColour()[2], c.grey) << "offset " << c.offset;
        // Always cleared, red gone.
        EXPECT_NEAR(readPixel(4, 4)[0], c.grey * 255.0f, 1.0) << "offset " << c.offset;
        EXPECT_NEAR(readPixel(4, 4)[1], c.grey * 255.0f, 1.0) << "offset " << c.offset;
        // The bass level is only tracked in the last window.
        EXPECT_FLOAT_EQ(backgroundLevel, c.offset > 110000 ? 0.9f : 0.0f) << "offset " << c.offset;
    }
    musicSpectrum[2] = 0.0f;
}

TEST(WobbleSphereDeform, CoefficientsOfEachVariantAtTimeZero)
{
    struct Case {
        int32_t variant;
        WobbleCoefficients c;
    };
    const Case cases[] = {{1, {1, 8, 5, 32}}, {0, {3, 13, 2, 32}}, {2, {0, 0, 0, 0}}, {-1, {0, 0, 0, 0}}};
    for (const Case& k : cases) {
        const WobbleCoefficients c = wobbleCoefficients(k.variant, 0.0f);
        EXPECT_EQ(c.fx, k.c.fx) << "variant " << k.variant;
        EXPECT_EQ(c.fy, k.c.fy) << "variant " << k.variant;
        EXPECT_EQ(c.fz, k.c.fz) << "variant " << k.variant;
        EXPECT_EQ(c.a, k.c.a) << "variant " << k.variant;
    }
    // Later on the amplitude swings between 2 and 62.
    for (float t = 0.0f; t < 20.0f; t += 0.37f) {
        const float a = wobbleCoefficients(1, t).a;
        EXPECT_GE(a, 2.0f);
        EXPECT_LE(a, 62.0f);
    }
}

TEST(WobbleSphereDeform, EachVertexMovesAlongItsNormalByTheProductOfThreeSines)
{
    const float rest[] = {10, 0, 0, 0, 0, 10, 6, 8, 0};
    const float normals[] = {1, 0, 0, 0, 0, 1, 0.6f, 0.8f, 0};
    float out[9];
    const float t = 0.7f;
    const WobbleCoefficients c = wobbleCoefficients(1, t);
    wobbleDeform(rest, normals, out, 3, t, c);
    for (int i = 0; i < 3; ++i) {
        const float* n = normals + 3 * i;
        const double w = std::sin(t + c.fx * n[0]) * std::sin(t + c.fy * n[1]) * std::sin(t + c.fz * n[2]);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out[3 * i + k], rest[3 * i + k] + c.a * w * n[k], 1e-4) << "vertex " << i;
    }
    // A variant without coefficients keeps the rest shape exactly.
    wobbleDeform(rest, normals, out, 3, t, wobbleCoefficients(5, t));
    EXPECT_EQ(std::memcmp(out, rest, sizeof rest), 0);
}

TEST(WobbleSphere, AnimationRunsOnTheRawTickCounterNotTheShowTime)
{
    GlTestWindow w(32, 32);
    ASSERT_TRUE(w.isReady());
    WobbleAssets assets;
    ASSERT_TRUE(assets.ready()) << "data/hisphere.ebr missing from the run folder";
    platform::useVirtualClock(showStart + 1000);
    assets.draw(showStart + 10);
    const std::vector<float> first = positionsOf(assets.deformed);
    assets.draw(showStart + 5000);
    EXPECT_EQ(positionsOf(assets.deformed), first);
    EXPECT_NE(first, positionsOf(assets.source));
    platform::setVirtualTime(showStart + 2000);
    assets.draw(showStart + 10);
    EXPECT_NE(positionsOf(assets.deformed), first);
    // The normals follow the new shape: unit length, not the sphere's.
    const std::vector<float> n = normalsOf(assets.deformed);
    EXPECT_NE(n, normalsOf(assets.source));
    for (size_t i = 0; i < n.size(); i += 3)
        ASSERT_NEAR(std::sqrt(n[i] * n[i] + n[i + 1] * n[i + 1] + n[i + 2] * n[i + 2]), 1.0, 1e-4) << "vertex " << i / 3;
}

TEST(WobbleSphere, SourceModelStaysAsLoadedAndNoErrorAccumulates)
{
    GlTestWindow w(32, 32);
    ASSERT_TRUE(w.isReady());
    WobbleAssets assets;
    ASSERT_TRUE(assets.ready()) << "data/hisphere.ebr missing from the run folder";
    const std::vector<float> restPositions = positionsOf(assets.source);
    const std::vector<float> restNormals = normalsOf(assets.source);
    platform::useVirtualClock(showStart + 3333);
    assets.draw(showStart);
    const std::vector<float> atFirst = positionsOf(assets.deformed);
    for (int frame = 0; frame < 200; ++frame) {
        platform::setVirtualTime(static_cast<uint32_t>(showStart + 17 * frame));
        assets.draw(showStart + 17 * frame);
    }
    EXPECT_EQ(positionsOf(assets.source), restPositions);
    EXPECT_EQ(normalsOf(assets.source), restNormals);
    platform::setVirtualTime(showStart + 3333);
    assets.draw(showStart);
    EXPECT_EQ(positionsOf(assets.deformed), atFirst);
}

TEST(WobbleSphere, DrawsTheSphereAndItsOutlineWobbles)
{
    const int size = 64;
    GlTestWindow w(size, size);
    ASSERT_TRUE(w.isReady());
    WobbleAssets assets;
    ASSERT_TRUE(assets.ready()) << "data/hisphere.ebr missing from the run folder";
    platform::useVirtualClock(showStart + 500);
    assets.draw(showStart + 500);
    const std::vector<bool> early = coverage(size, size);
    platform::setVirtualTime(showStart + 2500);
    assets.draw(showStart + 2500);
    const std::vector<bool> later = coverage(size, size);
    EXPECT_GT(countOf(early), size * size / 20);
    EXPECT_GT(countOf(later), size * size / 20);
    // A turning sphere keeps its outline; only the wobble changes it.
    EXPECT_NE(early, later);
    // Texturing and sphere mapping are switched off again.
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
}

TEST(WobbleSphere, NothingHappensOnceTheSpanIsOver)
{
    GlTestWindow w(16, 16);
    ASSERT_TRUE(w.isReady());
    WobbleAssets assets;
    ASSERT_TRUE(assets.ready()) << "data/hisphere.ebr missing from the run folder";
    const std::vector<float> loaded = positionsOf(assets.deformed);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    platform::useVirtualClock(showStart + 1000);
    assets.draw(showStart + showSpan);
    const auto px = readPixel(8, 8);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(positionsOf(assets.deformed), loaded);
}

TEST(WobbleSphere, ModelsThatCannotBeDeformedAreDrawnAsTheyAre)
{
    GlTestWindow w(16, 16);
    ASSERT_TRUE(w.isReady());
    WobbleAssets assets;
    ASSERT_TRUE(assets.ready()) << "data/hisphere.ebr missing from the run folder";
    platform::useVirtualClock(showStart + 1000);
    const std::vector<float> loaded = positionsOf(assets.deformed);

    // Source smaller than the deformed mesh: one triangle.
    TempEbrFile small(ebrBytes({oneTriangleMesh()}));
    Model smallSource(small.path.c_str());
    ASSERT_EQ(smallSource.meshCount, 1);
    sceneWobbleSphere(showStart, showStart, showSpan, &assets.deformed, &smallSource, &assets.blue, 1);
    EXPECT_EQ(positionsOf(assets.deformed), loaded);

    // No mesh on either side.
    Model empty("data/no-such-mesh.ebr");
    ASSERT_EQ(empty.meshCount, 0);
    sceneWobbleSphere(showStart, showStart, showSpan, &assets.deformed, &empty, &assets.blue, 1);
    EXPECT_EQ(positionsOf(assets.deformed), loaded);
    sceneWobbleSphere(showStart, showStart, showSpan, &empty, &assets.source, &assets.blue, 1);
    EXPECT_EQ(empty.meshCount, 0);
}

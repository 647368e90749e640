#include "effects/bump_env.h"
#include "gl_test_support.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

GLuint solidTexture(uint8_t r, uint8_t g, uint8_t b)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    const uint8_t px[4] = {r, g, b, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, px);
    return id;
}

// The scene's inputs as the show loads them, from the run folder; the
// shader comes from data/shader.cg there.
struct BumpEnvAssets {
    BumpEnvAssets() : slimy("data/slimy.ebr"), blue("data/blue.jpg"), bump("data/bumpmap.jpg")
    {
        platform::setMessageBoxObserver([this](const std::string&, const std::string&) { ++boxes; });
        programs = setupShaders();
        platform::setMessageBoxObserver(nullptr);
    }
    bool ready() const { return slimy.meshCount > 0 && blue.loaded && bump.loaded && boxes == 0; }
    void draw(uint32_t showTime, GLWrapper::Texture* env = nullptr, GLWrapper::Texture* bumps = nullptr)
    {
        sceneBumpEnv(showTime, &slimy, env ? env : &blue, bumps ? bumps : &bump, &programs.psProgram,
                     &programs.vsProgram);
    }
    Model slimy;
    GLWrapper::Texture blue;
    GLWrapper::Texture bump;
    ShaderPrograms programs;
    int boxes = 0;
};

std::array<float, 16> matrix(GLenum which)
{
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

// The eye-space direction that model direction (x, y, z) takes.
std::array<float, 3> direction(const std::array<float, 16>& m, float x, float y, float z)
{
    return {m[0] * x + m[4] * y + m[8] * z, m[1] * x + m[5] * y + m[9] * z, m[2] * x + m[6] * y + m[10] * z};
}

void expectNear(const std::array<float, 16>& a, const std::array<float, 16>& b, float tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], tolerance) << "element " << i;
}

} // namespace

TEST(BumpEnv, LeavesNoProgramAndNoTextureUnitBehind)
{
    const int size = 64;
    GlTestWindow w(size, size);
    ASSERT_TRUE(w.isReady());
    BumpEnvAssets assets;
    ASSERT_TRUE(assets.ready()) << "scene assets or data/shader.cg missing from the run folder";

    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    std::vector<GLuint> markers;
    for (GLint u = 0; u < units; ++u) {
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + u));
        markers.push_back(solidTexture(9, 9, 9));
    }
    glActiveTexture(GL_TEXTURE0);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); // as the main loop does
    assets.draw(60000);
    // The mesh was drawn.
    const std::vector<uint8_t> frame = readPixels(size, size);
    int lit = 0;
    for (size_t i = 0; i < frame.size(); i += 4)
        lit += frame[i] + frame[i + 1] + frame[i + 2] > 0;
    EXPECT_GT(lit, size * size / 100);

    GLint program = -1, active = 0, mode = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(program, 0);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(mode, GL_MODELVIEW);
    for (GLint u = 0; u < units; ++u) {
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + u));
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "unit " << u;
        EXPECT_EQ(static_cast<GLuint>(bound), markers[static_cast<size_t>(u)]) << "unit " << u;
    }
    glActiveTexture(GL_TEXTURE0);

    // Fixed-function drawing works again: a flat green rectangle is green.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glColor3f(0.0f, 1.0f, 0.0f);
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    const auto px = readPixel(size / 2, size / 2);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 255);
    EXPECT_EQ(px[2], 0);
}

TEST(BumpEnv, CameraAndSpinOfAThirdOfADegreePerMillisecond)
{
    GlTestWindow w(16, 16);
    ASSERT_TRUE(w.isReady());
    BumpEnvAssets assets;
    ASSERT_TRUE(assets.ready()) << "scene assets or data/shader.cg missing from the run folder";

    assets.draw(0);
    const auto unrotated = matrix(GL_MODELVIEW_MATRIX);
    // Aspect 1.333 exactly as a float, not 4/3.
    const double cot = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(matrix(GL_PROJECTION_MATRIX)[0], cot / 1.3329999446868896, 2e-6);
    EXPECT_NEAR(matrix(GL_PROJECTION_MATRIX)[5], cot, 2e-6);
    // The mesh origin sits 555 units in front of the eye.
    EXPECT_NEAR(unrotated[14], -555.0f, 1e-3);

    assets.draw(54000); // 18,000 degrees: whole turns
    expectNear(matrix(GL_MODELVIEW_MATRIX), unrotated, 1e-3f);
    assets.draw(270); // a quarter turn about y takes +x where -z was
    const auto quarter = matrix(GL_MODELVIEW_MATRIX);
    const auto turned = direction(quarter, 1, 0, 0);
    const auto expected = direction(unrotated, 0, 0, -1);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(turned[k], expected[k], 1e-5) << "component " << k;
    assets.draw(270 + 1080);
    expectNear(matrix(GL_MODELVIEW_MATRIX), quarter, 1e-3f);
}

TEST(BumpEnv, SurfaceShowsTheEnvironmentThroughTheBumps)
{
    const int size = 256;
    GlTestWindow w(size, size);
    ASSERT_TRUE(w.isReady());
    BumpEnvAssets assets;
    ASSERT_TRUE(assets.ready()) << "scene assets or data/shader.cg missing from the run folder";
    GLWrapper::Texture red("data/no-such-picture.jpg");
    red.textureId = solidTexture(255, 0, 0);
    GLWrapper::Texture flat("data/no-such-picture.jpg");
    flat.textureId = solidTexture(128, 128, 128);

    auto frame = [&](GLWrapper::Texture* env, GLWrapper::Texture* bumps) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        assets.draw(60000, env, bumps);
        return readPixels(size, size);
    };

    // A red world reflects red, whatever the bumps.
    const std::vector<uint8_t> redWorld = frame(&red, nullptr);
    int lit = 0;
    for (size_t i = 0; i < redWorld.size(); i += 4) {
        if (redWorld[i] + redWorld[i + 1] + redWorld[i + 2] == 0)
            continue;
        ++lit;
        EXPECT_GT(redWorld[i], 100) << "pixel " << i / 4;
        EXPECT_LT(redWorld[i + 1], 8) << "pixel " << i / 4;
    }
    EXPECT_GT(lit, size * size / 50);

    // The bump picture changes what is reflected, a flat one does not bend it.
    const std::vector<uint8_t> bumped = frame(nullptr, nullptr);
    const std::vector<uint8_t> smooth = frame(nullptr, &flat);
    int differing = 0;
    for (size_t i = 0; i < bumped.size(); i += 4)
        if (std::abs(bumped[i] - smooth[i]) + std::abs(bumped[i + 1] - smooth[i + 1]) +
                std::abs(bumped[i + 2] - smooth[i + 2]) > 24)
            ++differing;
    EXPECT_GT(differing, lit / 10);
}

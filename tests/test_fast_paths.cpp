// The drawing shortcuts taken for speed must give the very pixels of the
// plain drawing they replace: the glow scene against its steps done one by
// one, and the screen quads against the quad drawn with the state as found.
#include "effects/glow_model.h"

#include "effects/screen_quads.h"
#include "gfx/model.h"
#include "gfx/render_target.h"
#include "gfx/text_overlay.h"
#include "gfx/texture.h"
#include "gl_test_support.h"
#include "glf_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

size_t differingBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size())
        return a.size() + b.size();
    size_t count = 0;
    for (size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i];
    return count;
}

std::vector<uint8_t> textureZeroImage(int width, int height)
{
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 2);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// Every step of the glow scene as listed: the whole frame drawn back, the
// blur's clears over the whole window, the closing capture.
void plainGlowModel(int32_t showTime, Model* model, GLWrapper::Texture* environment, RenderTarget* frame,
                    RenderTarget* glow, float strength)
{
    frame->begin();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, static_cast<double>(1.333f), 1.0, 1900.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(10.0, 10.0, 100.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    const float seconds = static_cast<float>(showTime / 1000.0);
    glRotatef(seconds * 70.0f, 0.0f, 0.0f, 1.0f);
    enableSphereMap();
    environment->enable();
    model->draw();
    environment->disable();
    disableSphereMap();
    frame->capture();
    frame->copyTo(*glow);
    glow->blur(3, 1, 1.0f, strength);
    frame->drawFullScreen();
    glow->drawAdditive(1.0f, 1.0f, 1.0f, 1.0f);
    frame->capture();
}

struct GlowCase {
    int width, height;
    int32_t frameSideLimit; // 0: the frame target at window size; else clamped and stretched
    float strength;
};

void PrintTo(const GlowCase& c, std::ostream* os)
{
    *os << c.width << "x" << c.height << " limit " << c.frameSideLimit << " strength " << c.strength;
}

class FastPathGlow : public testing::TestWithParam<GlowCase> {};

// Two frames in a row, as the show draws them, each on its own pair of
// targets: the second frame also shows that the skipped closing capture
// was never read.
TEST_P(FastPathGlow, SceneGivesThePixelsOfItsPlainSteps)
{
    const GlowCase c = GetParam();
    GlTestWindow window(c.width, c.height);
    ASSERT_TRUE(window.isReady());
    Model model("data/rarkube.ebr");
    GLWrapper::Texture door("data/door.jpg");
    ASSERT_GT(model.meshCount, 0);
    ASSERT_TRUE(door.loaded);

    struct Targets {
        std::unique_ptr<RenderTarget> frame, glow;
    };
    const auto makeTargets = [&] {
        Targets t{std::make_unique<RenderTarget>(c.width, c.height, c.width, c.height),
                  std::make_unique<RenderTarget>(128, 128, c.width, c.height)};
        if (c.frameSideLimit > 0)
            t.frame->create(c.width, c.height, c.frameSideLimit);
        return t;
    };
    Targets fast = makeTargets();
    Targets plain = makeTargets();
    if (c.frameSideLimit > 0) {
        ASSERT_LT(fast.frame->width, c.width); // the stretched path is the one under test
    }

    const auto startFrame = [&] {
        glViewport(0, 0, c.width, c.height);
        // Not black, so that the blur and the glow carry the background too.
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1, 1, 1, 1);
        glEnable(GL_BLEND); // as the loading screen leaves it
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    };

    GLint scissorBefore[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, scissorBefore);
    for (const int32_t showTime : {81234, 81251}) {
        startFrame();
        plainGlowModel(showTime, &model, &door, plain.frame.get(), plain.glow.get(), c.strength);
        const std::vector<uint8_t> expected = readPixels(c.width, c.height);

        startFrame();
        sceneGlowModel(showTime, &model, &door, fast.frame.get(), fast.glow.get(), c.strength);
        const std::vector<uint8_t> got = readPixels(c.width, c.height);
        EXPECT_EQ(differingBytes(got, expected), 0u) << "at " << showTime << " ms";

        // What the closing capture leaves behind, and no scissor.
        std::array<GLint, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, c.width, c.height}));
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), fast.frame->texture);
        EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
        std::array<GLint, 4> scissor{};
        glGetIntegerv(GL_SCISSOR_BOX, scissor.data());
        EXPECT_EQ(scissor, (std::array<GLint, 4>{scissorBefore[0], scissorBefore[1], scissorBefore[2], scissorBefore[3]}));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Table, FastPathGlow,
                         testing::Values(GlowCase{800, 600, 0, 1.0f}, GlowCase{1280, 720, 0, 1.0f},
                                         GlowCase{1920, 1080, 0, 1.0f}, GlowCase{333, 217, 0, 0.5f},
                                         GlowCase{100, 90, 0, 1.0f}, GlowCase{800, 600, 256, 1.0f}));

// The quad exactly as drawScreenQuad draws it, with the state as found.
void plainScreenQuad(double x1, double y1, double z, double x2, double y2, GLWrapper::Texture texture, double s1,
                     double t1, double s2, double t2)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    texture.enable();
    glBegin(GL_QUADS);
    glTexCoord2f(static_cast<float>(s1), static_cast<float>(t1));
    glVertex3f(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(z));
    glTexCoord2f(static_cast<float>(s1), static_cast<float>(t2));
    glVertex3f(static_cast<float>(x1), static_cast<float>(y2), static_cast<float>(z));
    glTexCoord2f(static_cast<float>(s2), static_cast<float>(t2));
    glVertex3f(static_cast<float>(x2), static_cast<float>(y2), static_cast<float>(z));
    glTexCoord2f(static_cast<float>(s2), static_cast<float>(t1));
    glVertex3f(static_cast<float>(x2), static_cast<float>(y1), static_cast<float>(z));
    glEnd();
    texture.disable();
}

struct QuadCase {
    const char* name;
    int width, height;
    const char* picture;
    double x1, y1, x2, y2, s1, t1, s2, t2;
    float alpha;   // of the current colour
    bool blending; // (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA) on before the quad
};

void PrintTo(const QuadCase& c, std::ostream* os) { *os << c.name; }

class FastPathScreenQuad : public testing::TestWithParam<QuadCase> {};

// Over a shaded background, so that any change in blending shows.
TEST_P(FastPathScreenQuad, GivesThePixelsOfThePlainQuadAndRestoresTheState)
{
    const QuadCase c = GetParam();
    GlTestWindow window(c.width, c.height);
    ASSERT_TRUE(window.isReady());
    GLWrapper::Texture picture(c.picture);
    ASSERT_TRUE(picture.loaded && picture.width > 0);

    const auto draw = [&](bool fast) {
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glBegin(GL_QUADS);
        glColor3f(1, 0, 0);
        glVertex3f(-1, -1, 0.5f);
        glColor3f(0, 1, 0);
        glVertex3f(1, -1, 0.5f);
        glColor3f(0, 0, 1);
        glVertex3f(1, 1, 0.5f);
        glColor3f(1, 1, 0);
        glVertex3f(-1, 1, 0.5f);
        glEnd();
        if (c.blending) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        glColor4f(1, 1, 1, c.alpha);
        if (fast)
            drawScreenQuad(c.x1, c.y1, 0.01, c.x2, c.y2, picture, c.s1, c.t1, c.s2, c.t2);
        else
            plainScreenQuad(c.x1, c.y1, 0.01, c.x2, c.y2, picture, c.s1, c.t1, c.s2, c.t2);
        return readPixels(c.width, c.height);
    };
    const std::vector<uint8_t> expected = draw(false);
    const std::vector<uint8_t> got = draw(true);
    EXPECT_EQ(differingBytes(got, expected), 0u);

    EXPECT_EQ(glIsEnabled(GL_BLEND), c.blending ? GL_TRUE : GL_FALSE);
    GLint minFilter = 0, bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), picture.textureId);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// credits.jpg is stored 1024 x 1024 (the mipmap builder rounds 768 up),
// bottom.png 1024 x 128 with alpha.
INSTANTIATE_TEST_SUITE_P(
    Table, FastPathScreenQuad,
    testing::Values(
        QuadCase{"magnified_opaque", 1920, 1080, "data/credits.jpg", -1, 1, 1, -1, 0, 0, 1, 1, 1.0f, true},
        QuadCase{"one_to_one", 1024, 1024, "data/credits.jpg", -1, 1, 1, -1, 0, 0, 1, 1, 1.0f, true},
        // 1.42 texels a pixel upright: level 1 already, the filter must stay.
        QuadCase{"just_minified", 1280, 720, "data/credits.jpg", -1, 1, 1, -1, 0, 0, 1, 1, 1.0f, true},
        QuadCase{"minified", 640, 360, "data/credits.jpg", -1, 1, 1, -1, 0, 0, 1, 1, 1.0f, true},
        QuadCase{"half_transparent_colour", 1920, 1080, "data/credits.jpg", -1, 1, 1, -1, 0, 0, 1, 1, 0.5f, true},
        QuadCase{"no_blending", 1920, 1080, "data/credits.jpg", -1, 1, 1, -1, 0, 0, 1, 1, 1.0f, false},
        QuadCase{"picture_with_alpha", 1920, 1080, "data/bottom.png", -1, -0.75, 1, -1, 0.01, 0.01, 0.99, 0.99, 1.0f,
                 true},
        QuadCase{"bar_minified", 1280, 720, "data/bottom.png", -1, 1, 1, 0.75, 0.01, 0.99, 0.99, 0.01, 1.0f, true},
        QuadCase{"smeared_row", 1920, 1080, "data/credits.jpg", -1, 0.2, 1, -1, 0, 0.6, 1, 0.60001, 1.0f, true}));

// The overlay keeps the font image it defined in texture 0 while the file
// holds the same bytes; each case changes something between two calls and
// looks at what the second call draws and leaves in texture 0.
enum class Between { nothing, fileTexels, fileSize, textureRedefined };

class FastPathOverlayFont : public testing::TestWithParam<Between> {};

TEST_P(FastPathOverlayFont, SecondCallShowsTheImageOfTheFileAsItIsThen)
{
    GlTestWindow window(256, 192);
    ASSERT_TRUE(window.isReady());
    ScratchDir dir;
    WorkingDirectory inside(dir.path);
    // One glyph over a 2 x 2 image, drawn big enough to show every texel.
    GlfContents font = fontForRange('A', 'A', [](int32_t) { return GlfGlyph{8, 8, 0, 0, 1, 1}; });
    font.textureWidth = font.textureHeight = 2;
    font.texels = {255, 255, 40, 255, 120, 255, 200, 128};
    writeBytes("demofont.glf", glfBytes(font));

    const auto drawn = [] {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        drawOverlayText(-4.5, 3, 1.0, "A");
        return readPixels(256, 192);
    };
    const std::vector<uint8_t> first = drawn();
    ASSERT_EQ(textureZeroImage(2, 2), font.texels);

    GlfContents expected = font;
    switch (GetParam()) {
    case Between::nothing:
        break;
    case Between::fileTexels:
        expected.texels = {10, 255, 250, 255, 60, 255, 90, 255};
        writeBytes("demofont.glf", glfBytes(expected));
        break;
    case Between::fileSize:
        expected.textureWidth = 1;
        expected.textureHeight = 2;
        expected.texels = {30, 255, 220, 255};
        writeBytes("demofont.glf", glfBytes(expected));
        break;
    case Between::textureRedefined: {
        const uint8_t other[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        glBindTexture(GL_TEXTURE_2D, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, other);
        break;
    }
    }
    const std::vector<uint8_t> second = drawn();
    EXPECT_EQ(textureZeroImage(expected.textureWidth, expected.textureHeight), expected.texels);
    if (GetParam() == Between::nothing || GetParam() == Between::textureRedefined)
        EXPECT_EQ(differingBytes(second, first), 0u);
    else
        EXPECT_GT(differingBytes(second, first), 0u);

    // A fresh load of the file as it is now draws the same.
    writeBytes("other.glf", glfBytes(expected));
    GlfFont fresh;
    ASSERT_EQ(loadGlfFont(&fresh, "other.glf", 0), 1);
    writeBytes("demofont.glf", {}); // unreadable now: the next call draws no text
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<uint8_t> blank = readPixels(256, 192);
    drawOverlayText(-4.5, 3, 1.0, "A");
    EXPECT_EQ(differingBytes(readPixels(256, 192), blank), 0u) << "no text";
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 0, 768, -1, 1);
    beginText(&fresh);
    glScalef(18, 18, 18);
    glTranslatef(5, 6, 0);
    drawText("A", -4.5f, 3, 0);
    endText();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    EXPECT_EQ(differingBytes(readPixels(256, 192), second), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Table, FastPathOverlayFont,
                         testing::Values(Between::nothing, Between::fileTexels, Between::fileSize,
                                         Between::textureRedefined),
                         [](const testing::TestParamInfo<Between>& info) {
                             switch (info.param) {
                             case Between::nothing: return std::string("nothing");
                             case Between::fileTexels: return std::string("file_texels");
                             case Between::fileSize: return std::string("file_size");
                             case Between::textureRedefined: return std::string("texture_redefined");
                             }
                             return std::string("unknown");
                         });

} // namespace

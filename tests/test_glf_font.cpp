#include "gfx/glf_font.h"
#include "gfx/text_overlay.h"
#include "gl_test_support.h"
#include "glf_fixture.h"
#include "quad_feedback.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Three glyphs 'A'..'C' on a 3 x 2 texture: odd rows of 6 bytes.
GlfContents threeGlyphFont()
{
    GlfContents contents;
    contents.textureWidth = 3;
    contents.textureHeight = 2;
    contents.firstChar = 'A';
    contents.lastChar = 'C';
    contents.glyphs = {{10, 20, 0.1f, 0.2f, 0.3f, 0.4f}, {12, 20, 0.5f, 0.6f, 0.7f, 0.8f}, {7, 3, 0, 0, 1, 1}};
    contents.texels = {10, 11, 20, 21, 30, 31, 40, 41, 50, 51, 60, 61};
    return contents;
}

void expectGlyphsEqual(const std::vector<GlfGlyph>& got, const std::vector<GlfGlyph>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(std::memcmp(&got[i], &want[i], sizeof(GlfGlyph)), 0) << "glyph " << i;
}

std::vector<uint8_t> luminanceAlphaOf(GLuint name, int width, int height)
{
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 2);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// Window coordinates equal object coordinates in a 64 x 64 window.
void pixelProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 64, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace

TEST(GlfFont, LoadsHeaderGlyphsAndTexels)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    GlfContents printable = fontForRange(32, 126, [](int32_t c) {
        return GlfGlyph{static_cast<float>(c), 1, 0, 0, 1, 1};
    });
    printable.textureWidth = 2;
    printable.textureHeight = 1;
    printable.texels = {1, 2, 3, 4};
    struct Case {
        const char* what;
        GlfContents contents;
        std::vector<uint8_t> trailing;
    };
    const Case cases[] = {
        {"three glyphs, odd texture width, junk after the texels", threeGlyphFont(), {9, 9, 9, 9, 9}},
        {"95 printable glyphs: texels start at byte 2304", printable, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = glfBytes(c.contents);
        bytes.insert(bytes.end(), c.trailing.begin(), c.trailing.end());
        writeBytes(dir.path / "font.glf", bytes);
        GLuint name = 0;
        glGenTextures(1, &name);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE); // the loader sets MODULATE
        GlfFont font;
        ASSERT_EQ(loadGlfFont(&font, (dir.path / "font.glf").string().c_str(), static_cast<int>(name)), 1);
        EXPECT_EQ(font.textureId, static_cast<int32_t>(name)) << "the name in the file is ignored";
        EXPECT_EQ(font.textureWidth, c.contents.textureWidth);
        EXPECT_EQ(font.textureHeight, c.contents.textureHeight);
        EXPECT_EQ(font.firstChar, c.contents.firstChar);
        EXPECT_EQ(font.lastChar, c.contents.lastChar);
        expectGlyphsEqual(font.glyphs, c.contents.glyphs);
        EXPECT_EQ(luminanceAlphaOf(name, c.contents.textureWidth, c.contents.textureHeight), c.contents.texels);
        GLint wrapS = 0, wrapT = 0, magFilter = 0, minFilter = 0, env = 0, alignment = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(wrapS, GL_CLAMP);
        EXPECT_EQ(wrapT, GL_CLAMP);
        EXPECT_EQ(magFilter, GL_LINEAR);
        EXPECT_EQ(minFilter, GL_LINEAR);
        EXPECT_EQ(env, GL_MODULATE);
        EXPECT_EQ(alignment, 4);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST(GlfFont, RejectsShortOrInconsistentFilesLikeAMissingOne)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    const std::vector<uint8_t> good = glfBytes(threeGlyphFont()); // 24 + 72 + 12 bytes
    auto cut = [&](size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + size); };
    auto withSpec = [](const std::function<void(GlfContents&)>& change) {
        GlfContents contents = threeGlyphFont();
        change(contents);
        return glfBytes(contents);
    };
    // A font whose sizes are over the caps but whose file really holds them,
    // so only the caps can refuse it.
    auto complete = [](int32_t first, int32_t last, int32_t tw, int32_t th) {
        GlfContents contents = fontForRange(first, last, [](int32_t) { return GlfGlyph{1, 1, 0, 0, 1, 1}; });
        contents.textureWidth = tw;
        contents.textureHeight = th;
        contents.texels.assign(static_cast<size_t>(tw) * th * 2, 200);
        return glfBytes(contents);
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool written;
    };
    const Case cases[] = {
        {"missing file", {}, false},
        {"empty file", {}, true},
        {"header cut short", cut(20), true},
        {"last glyph record one byte short", cut(24 + 72 - 1), true},
        {"texels one byte short", cut(good.size() - 1), true},
        {"lastChar one below firstChar", withSpec([](GlfContents& s) { s.lastChar = s.firstChar - 1; }), true},
        {"lastChar far below firstChar", withSpec([](GlfContents& s) { s.firstChar = 90; }), true},
        {"zero texture width", withSpec([](GlfContents& s) { s.textureWidth = 0; }), true},
        {"negative texture height", withSpec([](GlfContents& s) { s.textureHeight = -2; }), true},
        {"character range overflowing 32 bits", withSpec([](GlfContents& s) {
             s.firstChar = INT_MIN;
             s.lastChar = INT_MAX;
         }), true},
        {"texture wider than 4096, all texels present", complete('A', 'A', 4097, 1), true},
        {"texture taller than 4096, all texels present", complete('A', 'A', 1, 4097), true},
        {"65537 glyphs, all records present", complete(0, 65536, 1, 1), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::filesystem::path path = dir.path / "font.glf";
        std::filesystem::remove(path);
        if (c.written)
            writeBytes(path, c.bytes);
        GlfFont font;
        font.textureId = 99;
        EXPECT_EQ(loadGlfFont(&font, path.string().c_str(), 5), 0);
        EXPECT_TRUE(font.glyphs.empty());
        EXPECT_EQ(font.textureId, 99) << "a refused file leaves the font as it was";
        beginText(&font);
        pixelProjection();
        EXPECT_TRUE(captureFeedback([] { drawText("ABC", 0, 40, 0); }).empty());
        endText();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    // The caps themselves are accepted.
    writeBytes(dir.path / "font.glf", complete(0, 65535, 4096, 1));
    GlfFont largest;
    EXPECT_EQ(loadGlfFont(&largest, (dir.path / "font.glf").string().c_str(), 5), 1);
    EXPECT_EQ(largest.glyphs.size(), 65536u);
}

TEST(GlfFont, DrawTextEmitsOneQuadPerGlyphAndAdvancesThePen)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    writeBytes(dir.path / "font.glf", glfBytes(threeGlyphFont()));
    GlfFont font;
    ASSERT_EQ(loadGlfFont(&font, (dir.path / "font.glf").string().c_str(), 0), 1);
    struct Quad {
        float left, top, right, bottom, s0, t0, s1, t1;
    };
    const Quad a5 = {5, 50, 15, 30, 0.1f, 0.2f, 0.3f, 0.4f};
    const Quad a0 = {0, 50, 10, 30, 0.1f, 0.2f, 0.3f, 0.4f};
    const Quad b10 = {10, 50, 22, 30, 0.5f, 0.6f, 0.7f, 0.8f};
    struct Case {
        const char* what;
        const char* text;
        float x;
        std::vector<Quad> quads;
    };
    const Case cases[] = {
        {"one glyph at (5, 50)", "A", 5, {a5}},
        {"the second quad starts where the first advanced to", "AB", 0, {a0, b10}},
        {"codes without a glyph are skipped, high bytes included", " A\xE6~B\x01", 0, {a0, b10}},
        {"empty text", "", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pixelProjection();
        beginText(&font);
        const auto quads = quadsFromFeedback(captureFeedback([&] { drawText(c.text, c.x, 50, 0); }));
        endText();
        ASSERT_TRUE(quads.has_value());
        ASSERT_EQ(quads->size(), c.quads.size());
        for (size_t i = 0; i < c.quads.size(); ++i) {
            const Quad& want = c.quads[i];
            const FeedbackQuad& got = (*quads)[i];
            const float corners[4][4] = {{want.left, want.top, want.s0, want.t0},
                                         {want.left, want.bottom, want.s0, want.t1},
                                         {want.right, want.bottom, want.s1, want.t1},
                                         {want.right, want.top, want.s1, want.t0}};
            for (int k = 0; k < 4; ++k) {
                EXPECT_FLOAT_EQ(got[k].x, corners[k][0]) << "quad " << i << " corner " << k;
                EXPECT_FLOAT_EQ(got[k].y, corners[k][1]) << "quad " << i << " corner " << k;
                EXPECT_FLOAT_EQ(got[k].z, 0.5f);
                EXPECT_FLOAT_EQ(got[k].s, corners[k][2]) << "quad " << i << " corner " << k;
                EXPECT_FLOAT_EQ(got[k].t, corners[k][3]) << "quad " << i << " corner " << k;
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GlfFont, WithoutACurrentFontNothingIsDrawnButTheTextureIsStillBound)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    writeBytes(dir.path / "font.glf", glfBytes(threeGlyphFont()));
    GlfFont loaded;
    ASSERT_EQ(loadGlfFont(&loaded, (dir.path / "font.glf").string().c_str(), 0), 1);
    pixelProjection();

    beginText(&loaded);
    endText();
    // Inside glBegin any further glBegin is an error, so a silent drawText
    // shows it made no GL call at all.
    auto prims = captureFeedback([] {
        glBegin(GL_POINTS);
        drawText("AB", 0, 50, 0);
        glVertex3f(1, 1, 0);
        glEnd();
    });
    EXPECT_EQ(prims.size(), 1u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    GlfFont unloaded; // its load never got as far as a glyph table
    unloaded.textureId = 7;
    beginText(&unloaded);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 7);
    EXPECT_TRUE(captureFeedback([] { drawText("AB", 0, 50, 0); }).empty());
    endText();
}

TEST(GlfFont, OverlayScalesTextIntoTheFrameAndLeavesItsState)
{
    // Half the 1024 x 768 frame, so a frame point is twice its window point.
    GlTestWindow w(512, 384);
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    GlfContents contents = fontForRange('A', 'A', [](int32_t) { return GlfGlyph{1, 1, 0, 0, 1, 1}; });
    contents.texels = {255, 128};
    writeBytes(dir.path / "demofont.glf", glfBytes(contents));
    WorkingDirectory inside(dir.path);

    struct Case {
        double y;
        float top, bottom; // frame y of the quad's edges
    };
    for (const Case& c : {Case{-2.5, 94.5f, 67.5f}, Case{-4.5, 40.5f, 13.5f}}) {
        SCOPED_TRACE(c.y);
        const auto quads = quadsFromFeedback(captureFeedback([&] { drawOverlayText(-2.0, c.y, 1.5, "A"); }));
        ASSERT_TRUE(quads.has_value());
        ASSERT_EQ(quads->size(), 1u);
        const FeedbackQuad& q = quads->front();
        EXPECT_FLOAT_EQ(2 * q[0].x, 81.0f); // 27 x (-2 + 5)
        EXPECT_FLOAT_EQ(2 * q[0].y, c.top);
        EXPECT_FLOAT_EQ(2 * q[1].y, c.bottom);
        EXPECT_FLOAT_EQ(2 * q[2].x, 108.0f);
        EXPECT_FLOAT_EQ(q[0].z, 0.5f);
    }

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint src = 0, dst = 0, mode = 0, bound = -1;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_EQ(bound, 0);
    for (GLenum which : {GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX}) {
        GLfloat m[16];
        glGetFloatv(which, m);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << "matrix " << which << " element " << i;
    }
    EXPECT_EQ(luminanceAlphaOf(0, 1, 1), contents.texels) << "texture 0 holds the font";
    EXPECT_TRUE(captureFeedback([] { drawText("A", 0, 0, 0); }).empty()) << "no font stays current";

    // Without the font file: nothing drawn, texturing and blending on all the same.
    std::filesystem::remove(dir.path / "demofont.glf");
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    EXPECT_TRUE(captureFeedback([] { drawOverlayText(-2.0, -2.5, 1.5, "A"); }).empty());
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

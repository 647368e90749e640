#include "gfx/texel_reorder.h"
#include "gfx/texture.h"
#include "gl_test_support.h"
#include "glf_fixture.h"
#include "platform/image_decoder.h"
#include "platform/message_box.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Rgba = std::array<uint8_t, 4>;

// A picture given top row first as RGBA, saved in the pixel format asked for.
bool savePicture(const std::string& path, int width, int height, const std::vector<Rgba>& pixels, Uint32 format,
                 bool jpeg = false)
{
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 0, format), SDL_FreeSurface);
    if (!surface)
        return false;
    SDL_Palette* palette = surface->format->palette;
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            const Rgba& p = pixels[static_cast<size_t>(y * width + x)];
            if (palette) {
                // One palette entry per pixel keeps the mapping obvious.
                const int index = y * width + x;
                SDL_Color c{p[0], p[1], p[2], 255};
                SDL_SetPaletteColors(palette, &c, index, 1);
                row[x] = static_cast<uint8_t>(index);
            } else {
                const Uint32 v = SDL_MapRGBA(surface->format, p[0], p[1], p[2], p[3]);
                std::memcpy(row + x * surface->format->BytesPerPixel, &v, surface->format->BytesPerPixel);
            }
        }
    }
    return (jpeg ? IMG_SaveJPG(surface.get(), path.c_str(), 95) : IMG_SavePNG(surface.get(), path.c_str())) == 0;
}

// Draws a quad over the whole 64 x 64 window with `texture` enabled.
void drawTexturedWindow(GLWrapper::Texture& texture)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    texture.enable();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-1, 1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, -1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, 1, 0);
    glEnd();
    texture.disable();
}

std::vector<uint8_t> levelZeroRgba(GLuint id, int width, int height)
{
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

} // namespace

TEST(Texture, TexelReorderPacksRowsTopFirstRedFirst)
{
    // Source bytes as the decoder lays them out: blue first, rows `pitch`
    // apart; 0xEE marks row padding that must never reach the texels.
    struct Case {
        const char* what;
        std::vector<uint8_t> source;
        size_t topRowOffset;
        std::ptrdiff_t pitch;
        int width, height, bytesPerPixel;
        std::vector<uint8_t> expected;
    };
    const std::vector<uint8_t> twoByTwoRgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 3, 2, 1};
    const std::vector<uint8_t> redOverGrey = {255, 0, 0, 255, 30, 20, 10, 40};
    const Case cases[] = {
        {"24-bit bottom-up: red top-left, then green; blue and (BGR 1,2,3) below",
         {255, 0, 0, 1, 2, 3, 0xEE, 0xEE, /* top: */ 0, 0, 255, 0, 255, 0, 0xEE, 0xEE},
         8, -8, 2, 2, 3, twoByTwoRgb},
        {"24-bit top-down, same picture",
         {0, 0, 255, 0, 255, 0, 0xEE, 0xEE, 255, 0, 0, 1, 2, 3, 0xEE, 0xEE},
         0, 8, 2, 2, 3, twoByTwoRgb},
        {"32-bit bottom-up: opaque red above (BGRA 10,20,30,40)",
         {10, 20, 30, 40, /* top: */ 0, 0, 255, 255}, 4, -4, 1, 2, 4, redOverGrey},
        {"32-bit top-down, same picture", {0, 0, 255, 255, 10, 20, 30, 40}, 0, 4, 1, 2, 4, redOverGrey},
        {"24-bit, 3 wide, rows 12 bytes apart: 9 packed bytes per row",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE},
         0, 12, 3, 2, 3,
         {3, 2, 1, 6, 5, 4, 9, 8, 7, 13, 12, 11, 16, 15, 14, 19, 18, 17}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Guard bytes after the packed texels catch writes past the end.
        std::vector<uint8_t> out(c.expected.size() + 8, 0xAB);
        ASSERT_TRUE(reorderTexels(c.source.data() + c.topRowOffset, c.pitch, c.width, c.height, c.bytesPerPixel,
                                  out.data()));
        EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(c.expected.size())),
                  c.expected);
        for (size_t i = c.expected.size(); i < out.size(); ++i)
            EXPECT_EQ(out[i], 0xAB) << "byte " << i << " written past the texels";
    }
}

TEST(Texture, TexelReorderRefusesOtherDepths)
{
    const uint8_t source[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int bytes : {0, 1, 2, 5}) {
        SCOPED_TRACE(bytes);
        uint8_t out[8] = {};
        EXPECT_FALSE(reorderTexels(source, 8, 1, 1, bytes, out));
        EXPECT_EQ(out[0], 0);
    }
}

TEST(Texture, DecoderDeliversBlueFirstRowsBottomUp)
{
    ScratchDir dir;
    // Three columns make 9- or 12-byte rows, so padding to 4 shows.
    const std::vector<Rgba> picture = {{255, 0, 0, 255}, {0, 255, 0, 128}, {0, 0, 255, 0},
                                       {10, 20, 30, 255}, {200, 100, 50, 64}, {1, 2, 3, 255}};
    struct Case {
        const char* what;
        Uint32 format;
        int bitsPerPixel;
        bool alphaKept;
    };
    const Case cases[] = {
        {"RGB PNG", SDL_PIXELFORMAT_RGB24, 24, false},
        {"RGBA PNG keeps straight alpha", SDL_PIXELFORMAT_RGBA32, 32, true},
        {"palette PNG becomes 24-bit", SDL_PIXELFORMAT_INDEX8, 24, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = (dir.path / "picture.png").string();
        ASSERT_TRUE(savePicture(path, 3, 2, picture, c.format));
        const platform::DecodedImage image = platform::decodeImage(path.c_str());
        ASSERT_EQ(image.width, 3);
        ASSERT_EQ(image.height, 2);
        ASSERT_EQ(image.bitsPerPixel, c.bitsPerPixel);
        const int bytes = c.bitsPerPixel / 8;
        EXPECT_LT(image.pitch, 0) << "rows are stored bottom-up";
        EXPECT_GE(-image.pitch, 3 * bytes);
        EXPECT_EQ(-image.pitch % 4, 0);
        for (int r = 0; r < 2; ++r)
            for (int col = 0; col < 3; ++col) {
                const uint8_t* px = image.topRow + r * image.pitch + col * bytes;
                const Rgba& want = picture[static_cast<size_t>(r * 3 + col)];
                EXPECT_EQ(px[0], want[2]) << "blue at row " << r << " column " << col;
                EXPECT_EQ(px[1], want[1]) << "green at row " << r << " column " << col;
                EXPECT_EQ(px[2], want[0]) << "red at row " << r << " column " << col;
                if (c.alphaKept) {
                    EXPECT_EQ(px[3], want[3]) << "alpha at row " << r << " column " << col;
                }
            }
    }
}

TEST(Texture, DecoderReadsJpegAsTwentyFourBits)
{
    ScratchDir dir;
    const std::string path = (dir.path / "solid.jpg").string();
    ASSERT_TRUE(savePicture(path, 16, 8, std::vector<Rgba>(16 * 8, Rgba{220, 40, 90, 255}), SDL_PIXELFORMAT_RGB24,
                            true));
    const platform::DecodedImage image = platform::decodeImage(path.c_str());
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 8);
    ASSERT_EQ(image.bitsPerPixel, 24);
    const uint8_t* px = image.topRow + 7 * image.pitch + 15 * 3; // bottom-right
    EXPECT_NEAR(px[0], 90, 6);
    EXPECT_NEAR(px[1], 40, 6);
    EXPECT_NEAR(px[2], 220, 6);
}

TEST(Texture, UploadIsUprightTrueColourWithMipmaps)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    // 2 x 2 RGB rows are 6 bytes: read with GL's default alignment of 4, the
    // lower row would start two bytes late.
    const std::vector<Rgba> picture = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {250, 250, 10, 255}};
    struct Case {
        const char* what;
        Uint32 format;
    };
    for (const Case& c : {Case{"24-bit", SDL_PIXELFORMAT_RGB24}, Case{"32-bit", SDL_PIXELFORMAT_RGBA32}}) {
        SCOPED_TRACE(c.what);
        const std::string path = (dir.path / "quad.png").string();
        ASSERT_TRUE(savePicture(path, 2, 2, picture, c.format));
        GLWrapper::Texture texture(path.c_str());
        EXPECT_TRUE(texture.loaded);
        EXPECT_EQ(texture.width, 2);
        EXPECT_EQ(texture.height, 2);
        ASSERT_NE(texture.textureId, 0u);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), texture.textureId) << "the new texture stays bound";
        GLint minFilter = 0, levelOneWidth = 0, alignment = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_EQ(levelOneWidth, 1) << "a mip chain was built";
        EXPECT_EQ(alignment, 4) << "the unpack alignment is put back";
        const std::vector<uint8_t> texels = levelZeroRgba(texture.textureId, 2, 2);
        for (size_t i = 0; i < 4; ++i)
            for (size_t k = 0; k < 3; ++k)
                EXPECT_EQ(texels[4 * i + k], picture[i][k]) << "texel " << i << " channel " << k;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST(Texture, MissingOrBrokenFileDrawsUntexturedWithoutAMessage)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    writeBytes(dir.path / "garbage.jpg", {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3, 4, 5});
    writeBytes(dir.path / "empty.png", {});
    int boxes = 0;
    platform::setMessageBoxObserver([&](const std::string&, const std::string&) { ++boxes; });
    for (const char* name : {"missing.jpg", "garbage.jpg", "empty.png"}) {
        SCOPED_TRACE(name);
        GLWrapper::Texture texture((dir.path / name).string().c_str());
        EXPECT_TRUE(texture.loaded);
        EXPECT_EQ(texture.width, 0);
        EXPECT_EQ(texture.height, 0);
        EXPECT_NE(texture.textureId, 0u);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(0.2f, 0.6f, 1.0f);
        drawTexturedWindow(texture);
        const auto px = readPixel(32, 32);
        EXPECT_NEAR(px[0], 51, 1);
        EXPECT_NEAR(px[1], 153, 1);
        EXPECT_EQ(px[2], 255);
    }
    platform::setMessageBoxObserver(nullptr);
    EXPECT_EQ(boxes, 0);
}

TEST(Texture, CopiesShareOneGlTextureThatOutlivesThem)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    ScratchDir dir;
    const std::string redPath = (dir.path / "red.png").string(), greenPath = (dir.path / "green.png").string();
    ASSERT_TRUE(savePicture(redPath, 4, 4, std::vector<Rgba>(16, Rgba{255, 0, 0, 255}), SDL_PIXELFORMAT_RGB24));
    ASSERT_TRUE(savePicture(greenPath, 4, 4, std::vector<Rgba>(16, Rgba{0, 255, 0, 255}), SDL_PIXELFORMAT_RGB24));
    GLWrapper::Texture red(redPath.c_str());
    {
        GLWrapper::Texture copy(red);
        EXPECT_EQ(copy.textureId, red.textureId);
        EXPECT_EQ(copy.width, 4);
        EXPECT_TRUE(copy.loaded);
        GLWrapper::Texture assigned("nothing-here.png");
        assigned = red;
        EXPECT_EQ(assigned.textureId, red.textureId);
    }
    EXPECT_TRUE(glIsTexture(red.textureId)) << "destroying a copy deleted the shared texture";
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
    drawTexturedWindow(red);
    EXPECT_EQ(readPixel(10, 10), (std::array<uint8_t, 4>{255, 0, 0, 255}));

    // disable keeps the binding; enabling another texture rebinds.
    GLWrapper::Texture green(greenPath.c_str());
    red.enable();
    red.disable();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(static_cast<GLuint>(bound), red.textureId);
    green.enable();
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(static_cast<GLuint>(bound), green.textureId);
}

TEST(Texture, WrapSwitchesBindAndSetBothAxes)
{
    GlTestWindow w;
    ASSERT_TRUE(w.isReady());
    GLWrapper::Texture a("no-such-a.png"), b("no-such-b.png");
    struct Case {
        const char* what;
        void (GLWrapper::Texture::*call)();
        GLint mode;
    };
    for (const Case& c : {Case{"clamp", &GLWrapper::Texture::setClamp, GL_CLAMP},
                          Case{"repeat", &GLWrapper::Texture::setRepeat, GL_REPEAT}}) {
        SCOPED_TRACE(c.what);
        b.enable(); // something else bound
        (a.*c.call)();
        GLint bound = 0, s = 0, t = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), a.textureId);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &s);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &t);
        EXPECT_EQ(s, c.mode);
        EXPECT_EQ(t, c.mode);
    }
}

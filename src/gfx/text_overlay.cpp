#include "gfx/text_overlay.h"

#include "gfx/glf_font.h"
#include "platform/gl.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr const char* fontPath = "demofont.glf";
constexpr int fontTexture = 0;

// The file bytes whose image this overlay last defined in texture 0.
// Defining that image again while the frame so far still samples it makes
// the caller wait for the rasterizer, and the loading screen calls the
// overlay twice a frame; the same bytes give the same image, so a call
// whose file is unchanged keeps the image it finds. Nothing else defines
// texture 0.
std::vector<uint8_t> definedFromBytes;

// No more than the largest font the loader takes: it ignores anything after.
constexpr size_t fontBytesLimit = 24 + static_cast<size_t>(glfMaxGlyphs) * sizeof(GlfGlyph) +
                                  static_cast<size_t>(glfMaxTextureSide) * glfMaxTextureSide * 2;

bool readFontFile(const char* path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    unsigned char chunk[16384];
    size_t got = 0;
    while (bytes.size() < fontBytesLimit &&
           (got = std::fread(chunk, 1, std::min(sizeof chunk, fontBytesLimit - bytes.size()), f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Whether texture 0 still holds the image of a font parsed from `bytes`,
// as the last load defined it (a new context starts without one).
bool imageStillDefined(const std::vector<uint8_t>& bytes, const GlfFont& font)
{
    if (definedFromBytes.empty() || bytes != definedFromBytes)
        return false;
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    GLint width = 0, height = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return width == font.textureWidth && height == font.textureHeight && (format == 2 || format == GL_LUMINANCE_ALPHA);
}

// loadGlfFont into texture 0, or, when the image there is already this
// file's, the same font and texture state without defining the image again.
bool loadOverlayFont(GlfFont& font)
{
    std::vector<uint8_t> bytes;
    const uint8_t* texels = nullptr;
    GlfFont parsed;
    if (readFontFile(fontPath, bytes) && parseGlf(bytes.data(), bytes.size(), parsed, texels) &&
        imageStillDefined(bytes, parsed)) {
        parsed.textureId = fontTexture;
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        font = std::move(parsed);
        return true;
    }
    definedFromBytes.clear();
    if (!loadGlfFont(&font, fontPath, fontTexture))
        return false;
    // What loadGlfFont read may differ from `bytes` only if the file changed
    // in between; then the next call compares against stale bytes and loads.
    definedFromBytes = std::move(bytes);
    return true;
}

} // namespace

void drawOverlayText(double x, double y, double scale, const char* text)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    GlfFont font;
    if (!loadOverlayFont(font))
        return;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 0, 768, -1, 1);
    beginText(&font);
    const float s = static_cast<float>(scale * 18);
    glScalef(s, s, s);
    glTranslatef(5, 6, 0);
    drawText(text, static_cast<float>(x), static_cast<float>(y), 0);
    endText();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFlush();
}

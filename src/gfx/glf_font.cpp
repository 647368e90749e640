#include "gfx/glf_font.h"

#include "platform/gl.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <memory>

namespace {

// Process-wide, like GL's own state: one thread draws text.
GlfFont* currentFont = nullptr;

constexpr size_t headerBytes = 24;
constexpr size_t glyphBytes = 24;

using FilePtr = std::unique_ptr<FILE, decltype(&std::fclose)>;

// The largest file a font within the caps can need; anything after it is ignored anyway.
constexpr size_t maxFontBytes = headerBytes + static_cast<size_t>(glfMaxGlyphs) * glyphBytes +
                                static_cast<size_t>(glfMaxTextureSide) * glfMaxTextureSide * 2;

// Up to `limit` bytes of the file; false when it cannot be opened or read.
bool readFileStart(const char* path, size_t limit, std::vector<uint8_t>& bytes)
{
    FilePtr file(std::fopen(path, "rb"), &std::fclose);
    if (!file)
        return false;
    uint8_t chunk[65536];
    while (bytes.size() < limit) {
        const size_t got = std::fread(chunk, 1, std::min(sizeof chunk, limit - bytes.size()), file.get());
        if (got == 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return std::ferror(file.get()) == 0;
}

uint32_t littleEndianWord(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int32_t readInt(const uint8_t* p) { return static_cast<int32_t>(littleEndianWord(p)); }
float readFloat(const uint8_t* p) { return std::bit_cast<float>(littleEndianWord(p)); }

} // namespace

bool parseGlf(const uint8_t* data, size_t size, GlfFont& font, const uint8_t*& texels)
{
    if (!data || size < headerBytes)
        return false;
    GlfFont loaded;
    loaded.textureId = font.textureId;
    loaded.textureWidth = readInt(data + 4);
    loaded.textureHeight = readInt(data + 8);
    loaded.firstChar = readInt(data + 12);
    loaded.lastChar = readInt(data + 16);

    // Sizes are checked before anything is allocated from them.
    if (loaded.textureWidth <= 0 || loaded.textureWidth > glfMaxTextureSide || loaded.textureHeight <= 0 ||
        loaded.textureHeight > glfMaxTextureSide)
        return false;
    const int64_t glyphCount = static_cast<int64_t>(loaded.lastChar) - loaded.firstChar + 1;
    if (glyphCount < 1 || glyphCount > glfMaxGlyphs)
        return false;
    const size_t recordBytes = static_cast<size_t>(glyphCount) * glyphBytes;
    const size_t texelBytes = static_cast<size_t>(loaded.textureWidth) * loaded.textureHeight * 2;
    if (size - headerBytes < recordBytes || size - headerBytes - recordBytes < texelBytes)
        return false;

    loaded.glyphs.resize(static_cast<size_t>(glyphCount));
    const uint8_t* r = data + headerBytes;
    for (GlfGlyph& g : loaded.glyphs) {
        g = {readFloat(r), readFloat(r + 4), readFloat(r + 8), readFloat(r + 12), readFloat(r + 16), readFloat(r + 20)};
        r += glyphBytes;
    }
    texels = r;
    font = std::move(loaded);
    return true;
}

int loadGlfFont(GlfFont* font, const char* path, int textureName)
{
    if (!font || !path)
        return 0;
    std::vector<uint8_t> bytes;
    if (!readFileStart(path, maxFontBytes, bytes))
        return 0;
    GlfFont loaded;
    loaded.textureId = textureName;
    const uint8_t* texels = nullptr;
    if (!parseGlf(bytes.data(), bytes.size(), loaded, texels))
        return 0;

    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(textureName));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Rows are width x 2 bytes: odd widths are not 4-byte aligned.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 2, loaded.textureWidth, loaded.textureHeight, 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);

    *font = std::move(loaded);
    return 1;
}

void beginText(GlfFont* font)
{
    if (!font) {
        currentFont = nullptr;
        return;
    }
    currentFont = font->glyphs.empty() ? nullptr : font;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(font->textureId));
}

void endText()
{
    currentFont = nullptr;
}

void drawText(const char* text, float x, float y, float z)
{
    const GlfFont* font = currentFont;
    if (!font)
        return;
    glBegin(GL_QUADS);
    for (const char* p = text ? text : ""; *p; ++p) {
        const int64_t index = static_cast<int64_t>(static_cast<unsigned char>(*p)) - font->firstChar;
        if (index < 0 || index >= static_cast<int64_t>(font->glyphs.size()))
            continue;
        const GlfGlyph& g = font->glyphs[static_cast<size_t>(index)];
        const float bottom = y - g.height;
        const float right = x + g.width;
        glTexCoord2f(g.s0, g.t0);
        glVertex3f(x, y, z);
        glTexCoord2f(g.s0, g.t1);
        glVertex3f(x, bottom, z);
        glTexCoord2f(g.s1, g.t1);
        glVertex3f(right, bottom, z);
        glTexCoord2f(g.s1, g.t0);
        glVertex3f(right, y, z);
        x = right;
    }
    glEnd();
}

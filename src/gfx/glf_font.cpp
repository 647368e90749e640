#include "gfx/glf_font.h"

#include "platform/gl.h"

#include <bit>
#include <cstdio>
#include <memory>

namespace {

// Process-wide, like GL's own state: one thread draws text.
GlfFont* currentFont = nullptr;

constexpr size_t headerBytes = 24;
constexpr size_t glyphBytes = 24;

using FilePtr = std::unique_ptr<FILE, decltype(&std::fclose)>;

bool readExactly(FILE* file, void* into, size_t bytes)
{
    return bytes == 0 || std::fread(into, 1, bytes, file) == bytes;
}

uint32_t littleEndianWord(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int32_t readInt(const uint8_t* p) { return static_cast<int32_t>(littleEndianWord(p)); }
float readFloat(const uint8_t* p) { return std::bit_cast<float>(littleEndianWord(p)); }

} // namespace

int loadGlfFont(GlfFont* font, const char* path, int textureName)
{
    if (!font || !path)
        return 0;
    FilePtr file(std::fopen(path, "rb"), &std::fclose);
    if (!file)
        return 0;

    uint8_t header[headerBytes];
    if (!readExactly(file.get(), header, sizeof header))
        return 0;
    GlfFont loaded;
    loaded.textureId = textureName;
    loaded.textureWidth = readInt(header + 4);
    loaded.textureHeight = readInt(header + 8);
    loaded.firstChar = readInt(header + 12);
    loaded.lastChar = readInt(header + 16);

    // Sizes are checked before anything is allocated from them.
    if (loaded.textureWidth <= 0 || loaded.textureWidth > glfMaxTextureSide || loaded.textureHeight <= 0 ||
        loaded.textureHeight > glfMaxTextureSide)
        return 0;
    const int64_t glyphCount = static_cast<int64_t>(loaded.lastChar) - loaded.firstChar + 1;
    if (glyphCount < 1 || glyphCount > glfMaxGlyphs)
        return 0;

    std::vector<uint8_t> records(static_cast<size_t>(glyphCount) * glyphBytes);
    if (!readExactly(file.get(), records.data(), records.size()))
        return 0;
    loaded.glyphs.resize(static_cast<size_t>(glyphCount));
    for (size_t i = 0; i < loaded.glyphs.size(); ++i) {
        const uint8_t* r = records.data() + i * glyphBytes;
        loaded.glyphs[i] = {readFloat(r), readFloat(r + 4), readFloat(r + 8),
                            readFloat(r + 12), readFloat(r + 16), readFloat(r + 20)};
    }

    std::vector<uint8_t> texels(static_cast<size_t>(loaded.textureWidth) * loaded.textureHeight * 2);
    if (!readExactly(file.get(), texels.data(), texels.size()))
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
                 GL_UNSIGNED_BYTE, texels.data());
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

// Bitmap text from a .glf font file: one textured quad per character.
//
// .glf layout (little-endian int32 / float32, no padding):
//   header, 24 bytes: int32 stale texture name (ignored), textureWidth,
//     textureHeight, firstChar, lastChar, 4 reserved bytes
//   lastChar - firstChar + 1 glyph records of 6 floats (GlfGlyph order)
//   textureWidth x textureHeight texels of 2 bytes (luminance, alpha), the
//     first row being t = 0; anything after them is ignored.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Sizes in text units; texture coordinates of the quad's edges.
struct GlfGlyph {
    float width; // also the pen advance
    float height; // the quad hangs down from the pen
    float s0, t0; // left, top
    float s1, t1; // right, bottom
};

struct GlfFont {
    int32_t textureId = 0; // supplied by the caller of loadGlfFont
    int32_t textureWidth = 0;
    int32_t textureHeight = 0;
    int32_t firstChar = 0;
    int32_t lastChar = 0; // inclusive
    std::vector<GlfGlyph> glyphs; // indexed by code - firstChar; empty until loaded
};

// The largest font the loader accepts; bigger headers are treated as damage.
constexpr int32_t glfMaxTextureSide = 4096;
constexpr int32_t glfMaxGlyphs = 65536;

// The GL-free half of loadGlfFont, on a whole file already in memory. On
// success fills `font` (all but textureId) and points `texels` at the
// texture bytes inside `data`; returns false and leaves both unchanged when
// the header is inconsistent or `size` is shorter than it announces. Sizes
// are checked against `size` before anything is allocated.
bool parseGlf(const uint8_t* data, size_t size, GlfFont& font, const uint8_t*& texels);

// Reads `path` into `font` and defines the image of GL texture `textureName`
// (luminance-alpha, clamped, linear, no mipmaps). Returns 1 on success, 0 when
// the file is missing, shorter than its header announces, or its header is
// inconsistent; the font is left unchanged then. Needs a current GL context.
int loadGlfFont(GlfFont* font, const char* path, int textureName);

// Makes `font` the current font (none if it has no glyphs) and binds its texture.
void beginText(GlfFont* font);
void endText();

// Draws `text` with the current font, pen starting at (x, y, z); codes the
// font has no glyph for are skipped. The caller sets the projection, colour,
// texturing and blending. No GL call at all when there is no current font.
void drawText(const char* text, float x, float y, float z);

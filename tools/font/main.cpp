// Renders the loading screen's font into <run folder>/demofont.glf.
//
//   q9_fontgen <run folder> <DejaVuSans-Bold.ttf>
//
// Character codes 32 to 255 are read as Windows-1252. Every glyph is one
// full-height cell (ascender to descender) as wide as its advance, so text
// drawn cell after cell sits on a common baseline; a cell is 1.0 text units
// tall. The atlas is luminance 255 throughout with the coverage in alpha, so
// glyphs take the current colour.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFirstChar = 32;
constexpr int kLastChar = 255;
constexpr int kMargin = 2;       // blank texels around every cell, so linear filtering never picks up a neighbour
constexpr int kAtlasWidth = 512;
constexpr int kMaxAtlasHeight = 512;

// Unicode for 0x80..0x9F in Windows-1252; 0 where the code page leaves a hole.
constexpr std::uint32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint32_t codePoint(int code) {
    if (code == 0x7F) return 0;  // DEL: nothing to draw
    if (code >= 0x80 && code <= 0x9F) return kCp1252High[code - 0x80];
    return static_cast<std::uint32_t>(code);
}

struct Cell {
    bool present = false;
    int advance = 0;  // texels
    int x = 0, y = 0;  // top-left of the cell in the atlas
};

struct Layout {
    int ascender = 0, descender = 0;  // texels above and below the baseline
    int height = 0;                   // atlas rows used
    std::vector<Cell> cells;
};

// Shelf packing in code order. Returns false if it does not fit.
bool layOut(FT_Face face, int pixels, Layout& out) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels))) return false;
    out.ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    out.descender = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    const int cellHeight = out.ascender + out.descender;
    out.cells.assign(kLastChar - kFirstChar + 1, Cell{});
    int x = 0, y = 0;
    for (int code = kFirstChar; code <= kLastChar; ++code) {
        Cell& cell = out.cells[code - kFirstChar];
        const std::uint32_t cp = codePoint(code);
        if (cp == 0 || FT_Get_Char_Index(face, cp) == 0) continue;
        if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT)) continue;
        cell.present = true;
        cell.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
        const int slot = cell.advance + 2 * kMargin;
        if (x + slot > kAtlasWidth) {
            x = 0;
            y += cellHeight + 2 * kMargin;
        }
        cell.x = x + kMargin;
        cell.y = y + kMargin;
        x += slot;
    }
    out.height = y + cellHeight + 2 * kMargin;
    return out.height <= kMaxAtlasHeight;
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void putI32(std::vector<std::uint8_t>& out, std::int32_t v) { putU32(out, static_cast<std::uint32_t>(v)); }
void putF32(std::vector<std::uint8_t>& out, float v) { putU32(out, std::bit_cast<std::uint32_t>(v)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <run folder> <font file>\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    FT_Library library;
    if (FT_Init_FreeType(&library)) {
        std::fprintf(stderr, "q9_fontgen: FreeType failed to start\n");
        return 1;
    }
    // Releases the face with the library on every way out.
    const std::unique_ptr<FT_LibraryRec_, decltype(&FT_Done_FreeType)> libraryGuard(library, FT_Done_FreeType);
    FT_Face face;
    if (FT_New_Face(library, argv[2], 0, &face)) {
        std::fprintf(stderr, "q9_fontgen: cannot open font %s\n", argv[2]);
        return 1;
    }

    // The largest size whose atlas still fits.
    Layout layout;
    int pixels = 48;
    while (pixels > 8 && !layOut(face, pixels, layout)) --pixels;
    if (layout.height > kMaxAtlasHeight) {
        std::fprintf(stderr, "q9_fontgen: glyphs do not fit a %dx%d atlas\n", kAtlasWidth, kMaxAtlasHeight);
        return 1;
    }
    int atlasHeight = 1;
    while (atlasHeight < layout.height) atlasHeight *= 2;
    const int cellHeight = layout.ascender + layout.descender;

    std::vector<std::uint8_t> alpha(static_cast<std::size_t>(kAtlasWidth) * atlasHeight, 0);
    int clippedGlyphs = 0;
    for (int code = kFirstChar; code <= kLastChar; ++code) {
        const Cell& cell = layout.cells[code - kFirstChar];
        if (!cell.present) continue;
        if (FT_Load_Char(face, codePoint(code), FT_LOAD_RENDER)) continue;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        // A few glyphs ('j', 'f', accented 'i') overhang their advance by a
        // texel or two; slide their ink into the cell rather than lose it.
        const int inkLeft = g->bitmap_left;
        const int inkWidth = static_cast<int>(bm.width);
        int shift = 0;
        if (inkWidth <= cell.advance)
            shift = std::clamp(0, -inkLeft, cell.advance - inkWidth - inkLeft);
        else
            shift = (cell.advance - inkWidth) / 2 - inkLeft;
        bool clipped = false;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                const std::uint8_t value = bm.buffer[static_cast<long>(row) * bm.pitch + col];
                if (value == 0) continue;
                // Cell coordinates: x from the pen, y down from the ascender line.
                const int cx = inkLeft + shift + static_cast<int>(col);
                const int cy = layout.ascender - g->bitmap_top + static_cast<int>(row);
                // Ink still outside the cell would show in no quad and could
                // bleed into the margin, so it is dropped.
                if (cx < 0 || cx >= cell.advance || cy < 0 || cy >= cellHeight) {
                    clipped = true;
                    continue;
                }
                alpha[static_cast<std::size_t>(cell.y + cy) * kAtlasWidth + cell.x + cx] = value;
            }
        clippedGlyphs += clipped;
    }

    std::vector<std::uint8_t> file;
    putI32(file, 0);  // texture name, unused by the reader
    putI32(file, kAtlasWidth);
    putI32(file, atlasHeight);
    putI32(file, kFirstChar);
    putI32(file, kLastChar);
    putI32(file, 0);  // reserved
    const Cell& space = layout.cells[0];
    for (int code = kFirstChar; code <= kLastChar; ++code) {
        const Cell& c = layout.cells[code - kFirstChar];
        // Codes without a glyph draw nothing and do not move the pen; their
        // texture rectangle is the blank space cell, collapsed to zero width.
        const Cell& at = c.present ? c : space;
        const int advance = c.present ? c.advance : 0;
        putF32(file, static_cast<float>(advance) / static_cast<float>(cellHeight));
        putF32(file, 1.0f);
        putF32(file, static_cast<float>(at.x) / kAtlasWidth);
        putF32(file, static_cast<float>(at.y) / static_cast<float>(atlasHeight));
        putF32(file, static_cast<float>(at.x + advance) / kAtlasWidth);
        putF32(file, static_cast<float>(at.y + cellHeight) / static_cast<float>(atlasHeight));
    }
    // First row in the file is t = 0, the top of the cells.
    for (std::uint8_t a : alpha) {
        file.push_back(255);
        file.push_back(a);
    }

    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    const auto path = std::filesystem::path(argv[1]) / "demofont.glf";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "q9_fontgen: cannot write %s\n", path.c_str());
        return 1;
    }
    int present = 0;
    for (const Cell& c : layout.cells) present += c.present;
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("q9_fontgen: demofont.glf %d px, cell %d texels, %d glyphs (%d trimmed at the cell), atlas %dx%d, %.0f ms\n",
                pixels, cellHeight, present, clippedGlyphs, kAtlasWidth, atlasHeight, ms);
    return 0;
}

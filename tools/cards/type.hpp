// Text set with FreeType from outline fonts into coverage masks. Glyph
// outlines are transformed by our own code before rasterising, so per-letter
// rotation, slant and wobble come out as clean anti-aliased shapes.
#pragma once

#include "canvas.hpp"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace cards {

// Placement of one letter, relative to where the pen would put it.
struct GlyphPose {
    float dx = 0.f, dy = 0.f;   // pixels, y down
    float rotate = 0.f;         // radians, clockwise on screen
    float scale = 1.f;
};

struct TextStyle {
    float px = 32.f;          // em size in pixels
    float tracking = 0.f;     // extra pixels after each letter
    float shear = 0.f;        // italic slant: x += shear * height
    float scaleX = 1.f;       // horizontal stretch
    // Optional per-letter pose (index in the string, the character).
    std::function<GlyphPose(int, char32_t)> pose;
    // Optional bend of every outline point, in pixels relative to the
    // letter's own origin with y up; lets the caller wobble the contours.
    std::function<void(int, float&, float&)> warp;
};

class Font {
public:
    explicit Font(const std::string& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool ok() const { return face_ != nullptr; }
    float width(std::u32string_view text, const TextStyle& st) const;
    // Height of a capital above the baseline, in pixels.
    float capHeight(float px) const;
    // Draws with the baseline at y; x is the pen start. Coverage is merged
    // into the mask with max().
    void draw(Mask& dst, std::u32string_view text, float x, float baseline, const TextStyle& st) const;
    // Same, centred horizontally on cx.
    void drawCentred(Mask& dst, std::u32string_view text, float cx, float baseline, const TextStyle& st) const;

    struct FtLib;

private:
    float advance(unsigned glyph, unsigned prev, const TextStyle& st) const;
    std::shared_ptr<FtLib> lib_;
    void* face_ = nullptr;  // FT_Face, kept opaque so callers need no FreeType headers
};

// The DejaVu faces the cards use, loaded once.
struct Fonts {
    explicit Fonts(const std::string& dir);
    bool ok() const;
    Font sansBold, condensedBold, sans, extraLight, mono, monoBold, serifBoldItalic;
};

}  // namespace cards

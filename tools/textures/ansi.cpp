// Text-mode art: a girl in profile against a striped sun, built from 80x25 cells of
// block and shade characters in the 16 text-mode colours.
#include "pictures.hpp"

#include <array>
#include <initializer_list>
#include <limits>

namespace q9tex {

namespace {

constexpr int kCols = 80, kRows = 25, kCellW = 8, kCellH = 16;
constexpr int kW = kCols * kCellW, kH = kRows * kCellH;

// The usual 16 text-mode colours.
constexpr uint32_t kTextPalette[16] = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

enum Glyph { SPACE, FULL, UPPER, LOWER, LEFT, RIGHT, LIGHT, MEDIUM, DARK, kGlyphCount };

// Our own 8x16 rendering of the block and shade characters.
bool glyphPixel(int g, int x, int y) {
    switch (g) {
        case SPACE: return false;
        case FULL: return true;
        case UPPER: return y < kCellH / 2;
        case LOWER: return y >= kCellH / 2;
        case LEFT: return x < kCellW / 2;
        case RIGHT: return x >= kCellW / 2;
        case LIGHT: return (y % 2 == 0) && ((x + y / 2) % 2 == 0);
        case MEDIUM: return (x + y) % 2 == 0;
        case DARK: return !((y % 2 == 1) && ((x + y / 2) % 2 == 1));
    }
    return false;
}

// ---- the picture to be quantised ----

struct P2 {
    float x, y;
};

// Signed distance to a closed polygon (negative inside).
float polygonDistance(const std::vector<P2>& poly, P2 p) {
    float d = std::numeric_limits<float>::max();
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        P2 a = poly[j], b = poly[i];
        float ex = b.x - a.x, ey = b.y - a.y;
        float wx = p.x - a.x, wy = p.y - a.y;
        float t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
        float dx = wx - ex * t, dy = wy - ey * t;
        d = std::min(d, dx * dx + dy * dy);
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) / (b.y - a.y) * (b.x - a.x)) inside = !inside;
    }
    return inside ? -std::sqrt(d) : std::sqrt(d);
}

// Profile facing left, in head units: 0 at the hairline, 89 at the chin.
const std::vector<P2> kFigure = {
    {22, -6}, {18, 10}, {15, 22}, {14, 30}, {16, 36}, {16, 40}, {12, 47}, {8, 54},
    {7, 57},  {9, 60},  {13, 61}, {12, 64}, {10, 66}, {13, 68}, {11, 71}, {12, 73},
    {15, 76}, {13, 80}, {13, 85}, {17, 90}, {26, 95}, {40, 98}, {50, 100}, {52, 112},
    {54, 140}, {160, 140}, {160, -6},
};

const P2 kSun{300.f, 200.f};
constexpr float kSunR = 162.f;
constexpr float kHorizon = 336.f;

// Head units to screen pixels.
constexpr P2 kHeadOrigin{300.f, 100.f};
constexpr float kHeadScale = 2.8f;
P2 toHead(P2 p) { return {(p.x - kHeadOrigin.x) / kHeadScale, (p.y - kHeadOrigin.y) / kHeadScale}; }

// Colour on a ramp of text-mode colours, snapped to the steps the shade characters can
// show (a quarter at a time), so the quantiser reproduces it cleanly.
Rgb shadeRamp(std::initializer_list<int> keys, float t) {
    std::vector<int> k(keys);
    int steps = int(k.size() - 1) * 4;
    int q = std::clamp(int(std::lround(clamp01(t) * float(steps))), 0, steps);
    int i = std::min(q / 4, int(k.size()) - 2);
    float f = float(q - i * 4) / 4.f;
    return mix(hex(kTextPalette[k[size_t(i)]]), hex(kTextPalette[k[size_t(i) + 1]]), f);
}

enum : int { T_BLACK, T_BLUE, T_GREEN, T_CYAN, T_RED, T_MAGENTA, T_BROWN, T_GREY,
             T_DGREY, T_LBLUE, T_LGREEN, T_LCYAN, T_LRED, T_LMAGENTA, T_YELLOW, T_WHITE };

float hairOutline(float y) {
    // Back edge of the hair: streaming out in the wind, ending in wavy locks.
    return 104.f + y * 0.45f + 7.f * std::sin(y * 0.09f) + 3.f * std::sin(y * 0.23f + 1.f);
}

// Hair coverage at p (head units) and a strand phase for shading.
bool hairAt(P2 p, float& strand) {
    float wave = 4.f * std::sin(p.y * 0.1f + p.x * 0.03f) + 7.f * fbm(p.x / 25.f, p.y / 18.f, 3, 0, 61u);
    strand = (p.x - 0.5f * p.y + wave) * 0.55f;
    // Hairline: over the forehead, back along the temple, behind the ear.
    float hairline = p.y < 0.f ? 20.f + p.y * 0.35f : (p.y < 44.f ? 22.f + p.y * 0.62f : 49.f + (p.y - 44.f) * 0.25f);
    if (p.x < hairline) return false;
    float ex = (p.x - 60.f) / 46.f, ey = (p.y - 18.f) / 46.f;
    bool crown = ex * ex + ey * ey < 1.f;
    bool mass = p.y > 10.f && p.x > 56.f && p.x < hairOutline(p.y);
    if (crown || mass) return true;
    // A few locks blown loose beyond the outline.
    for (int k = 0; k < 3; ++k) {
        float y0 = 5.f + float(k) * 24.f;
        float dy = p.y - y0;
        if (dy < 0.f || dy > 30.f) continue;
        float cx = hairOutline(y0) + 2.f + dy * 0.9f + 4.f * std::sin(dy * 0.2f + float(k));
        if (std::abs(p.x - cx) < 2.5f * (1.f - dy / 30.f)) return true;
    }
    return false;
}

Rgb background(P2 p) {
    if (p.y < kHorizon) {
        float dx = p.x - kSun.x, dy = p.y - kSun.y;
        float r = std::sqrt(dx * dx + dy * dy);
        // Sun: yellow crown to magenta foot, sliced by gaps that come closer towards its
        // foot. Every text row holds one flat colour, so each cell along the black profile
        // in front of it needs only two colours and the outline stays sharp.
        if (r < kSunR) {
            static const int rows[kRows] = {
                T_YELLOW, T_YELLOW, T_YELLOW, T_YELLOW, T_YELLOW, T_YELLOW, T_YELLOW, T_YELLOW,
                T_YELLOW, T_LRED,   T_LRED,   T_MAGENTA, T_LRED, T_LRED,  T_MAGENTA, T_LMAGENTA,
                T_MAGENTA, T_LMAGENTA, T_MAGENTA, T_LMAGENTA, T_MAGENTA, T_MAGENTA, T_MAGENTA,
                T_MAGENTA, T_MAGENTA};
            return hex(kTextPalette[rows[std::clamp(int(p.y) / kCellH, 0, kRows - 1)]]);
        }
        // Sky in bands of eight pixels, so every step is a clean half cell.
        float yb = std::floor(p.y / 8.f) * 8.f;
        Rgb sky = shadeRamp({T_BLACK, T_BLACK, T_BLUE, T_MAGENTA, T_LMAGENTA}, std::pow(yb / kHorizon, 1.4f));
        uint32_t h = hash3(int(p.x) / 8, int(p.y) / 16, 91u);
        if (p.y < 150.f && (h % 53u) == 0u && r > kSunR + 8.f) sky = hex(kTextPalette[(h >> 8) & 1u ? T_GREY : T_WHITE]);
        return sky;
    }
    // Floor: glowing lines that crowd together towards the horizon, one half cell each.
    float y0 = std::floor(p.y / 8.f) * 8.f;
    auto zAt = [](float y) { return 24.f / std::max(y - kHorizon, 0.5f); };
    bool line = std::floor(zAt(y0)) != std::floor(zAt(y0 + 8.f));
    float depth = (y0 + 4.f - kHorizon) / (float(kH) - kHorizon);
    if (line) return hex(kTextPalette[depth < 0.3f ? T_LMAGENTA : T_MAGENTA]);
    return shadeRamp({T_BLACK, T_BLUE, T_MAGENTA}, 0.5f - 0.5f * depth);
}

Rgb target(P2 screen) {
    P2 p = toHead(screen);
    float strand = 0.f;
    if (hairAt(p, strand)) {
        // Dark blue hair with strands of light, brighter on the sun side.
        float s = 0.5f + 0.5f * std::sin(strand);
        float lit = clamp01((80.f - p.x) / 50.f);
        float v = 0.2f + 0.8f * s * s * (0.55f + 0.45f * lit);
        return shadeRamp({T_BLACK, T_BLUE, T_LBLUE, T_LMAGENTA}, v * 1.05f);
    }
    if (polygonDistance(kFigure, p) < 0.f) {
        // Black silhouette against the sun, with a closed eye, a brow and red lips
        // drawn in so it reads as a face.
        // Drawn on whole half cells, the finest shape the characters can hold.
        auto box = [&](float x0, float y0, float x1, float y1) {
            return screen.x >= x0 && screen.x < x1 && screen.y >= y0 && screen.y < y1;
        };
        if (box(360, 192, 392, 200) || box(352, 200, 360, 208)) return hex(kTextPalette[T_LMAGENTA]);
        if (box(368, 176, 392, 184) || box(360, 168, 368, 176)) return hex(kTextPalette[T_MAGENTA]);
        float lx = (p.x - 14.f) / 4.f, ly = (p.y - 68.f) / 4.5f;
        if (lx * lx + ly * ly < 1.f) return hex(kTextPalette[T_LRED]);
        return hex(kTextPalette[T_BLACK]);
    }
    return background(screen);
}

// Big "Q9" made of cells, with a chrome gradient.
bool logoCell(int col, int row, Rgb& out) {
    static const char* art[] = {
        " ######    ######  ",
        "##    ##  ##    ## ",
        "##    ##  ##    ## ",
        "##    ##   ####### ",
        "## ## ##        ## ",
        "##  ###   ##    ## ",
        " #### ##   ######  ",
    };
    int x = col - 3, y = row - 2;
    if (y < 0 || y >= 7 * 2) return false;
    const char* line = art[y / 2];
    if (x < 0 || x >= int(std::char_traits<char>::length(line)) || line[x] != '#') return false;
    float t = float(y) / 13.f;
    out = ramp({hex(0xFFFFFF), hex(0x55FFFF), hex(0x00AAAA), hex(0x0000AA), hex(0x5555FF), hex(0xFFFFFF)}, t);
    return true;
}

}  // namespace

Image makeAnsiGirl() {
    Image img(kW, kH);
    std::array<Rgb, 16> pal{};
    for (int i = 0; i < 16; ++i) pal[size_t(i)] = hex(kTextPalette[i]);

    // Coverage of each glyph over the 2x4 sub-blocks of a cell.
    constexpr int kSubX = 2, kSubY = 4, kSubs = kSubX * kSubY;
    std::array<std::array<float, kSubs>, kGlyphCount> cover{};
    for (int g = 0; g < kGlyphCount; ++g)
        for (int y = 0; y < kCellH; ++y)
            for (int x = 0; x < kCellW; ++x)
                if (glyphPixel(g, x, y))
                    cover[size_t(g)][size_t((y / 4) * kSubX + x / 4)] += 1.f / 16.f;

    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kCols; ++col) {
            std::array<Rgb, kSubs> want{};
            for (int sy = 0; sy < kSubY; ++sy)
                for (int sx = 0; sx < kSubX; ++sx) {
                    // Point-sampled: averaging would invent muddy edge colours that the
                    // quantiser then reproduces with a dark rim of shade characters.
                    P2 p{float(col * kCellW + sx * 4) + 2.f, float(row * kCellH + sy * 4) + 2.f};
                    want[size_t(sy * kSubX + sx)] = target(p);
                }
            Rgb logo;
            // The logo sits in upper and lower half cells: two logo rows per text row.
            bool top = logoCell(col, row * 2, logo);
            Rgb logoBottom;
            bool bottom = logoCell(col, row * 2 + 1, logoBottom);
            if (top) for (int s = 0; s < 4; ++s) want[size_t(s)] = logo;
            if (bottom) for (int s = 4; s < 8; ++s) want[size_t(s)] = logoBottom;

            // Only colours the cell really asks for may be used: each sub-block names the
            // pair of text colours whose shade mix matches it best. Letting every colour
            // compete would fill edge cells with compromise greys and browns.
            std::array<bool, 16> allowed{};
            for (const Rgb& w : want) {
                float bestMix = std::numeric_limits<float>::max();
                int ma = 0, mb = 0;
                for (int i = 0; i < 16; ++i)
                    for (int j = i; j < 16; ++j)
                        for (int q = 0; q <= 4; ++q) {
                            Rgb d = mix(pal[size_t(i)], pal[size_t(j)], float(q) / 4.f) - w;
                            float e = d.r * d.r + d.g * d.g + d.b * d.b;
                            if (e < bestMix) {
                                bestMix = e;
                                ma = q == 4 ? j : i;
                                mb = q == 0 ? i : j;
                            }
                        }
                allowed[size_t(ma)] = allowed[size_t(mb)] = true;
            }
            allowed[0] = true;  // SPACE and FULL carry black as their spare colour

            int bestG = SPACE, bestF = 0, bestB = 0;
            float best = std::numeric_limits<float>::max();
            for (int g = 0; g < kGlyphCount; ++g) {
                // Shades cost a little extra so clean blocks win where they do as well.
                float penalty = g >= LIGHT ? 0.03f : 0.f;
                for (int f = 0; f < 16; ++f)
                    for (int b = 0; b < 16; ++b) {
                        if (!allowed[size_t(f)] || !allowed[size_t(b)]) continue;
                        if ((g == SPACE && f != 0) || (g == FULL && b != 0)) continue;
                        float e = penalty;
                        for (int s = 0; s < kSubs && e < best; ++s) {
                            float c = cover[size_t(g)][size_t(s)];
                            Rgb got = pal[size_t(b)] * (1.f - c) + pal[size_t(f)] * c;
                            Rgb d = got - want[size_t(s)];
                            e += 0.3f * d.r * d.r + 0.5f * d.g * d.g + 0.2f * d.b * d.b;
                        }
                        if (e < best) {
                            best = e;
                            bestG = g;
                            bestF = f;
                            bestB = b;
                        }
                    }
            }
            for (int y = 0; y < kCellH; ++y)
                for (int x = 0; x < kCellW; ++x)
                    img.at(col * kCellW + x, row * kCellH + y) =
                        pal[size_t(glyphPixel(bestG, x, y) ? bestF : bestB)];
        }
    return img;
}

}  // namespace q9tex

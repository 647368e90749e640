// Screens of an imaginary 8-bit home computer: 320x200, 16 colours, wide border.
#include "pictures.hpp"
#include "retro_font.hpp"

#include <array>
#include <concepts>
#include <string>
#include <string_view>

namespace q9tex {

namespace {

constexpr int kW = 320, kH = 200;
constexpr int kBorderX = 32, kBorderY = 20;  // text area is 32x20 characters
constexpr int kCols = 32, kRows = 20;

enum : uint8_t {
    BLACK, WHITE, RED, CYAN, PURPLE, GREEN, BLUE, YELLOW,
    ORANGE, BROWN, LRED, DGREY, GREY, LGREEN, LBLUE, LGREY
};

// A warm, slightly washed-out set in the spirit of the era's video chips.
constexpr uint32_t kPalette[16] = {
    0x000000, 0xFFFFFF, 0x8C3B30, 0x6EC6CB, 0x8E43A3, 0x58AB44, 0x3B2FA2, 0xD2DD73,
    0x9A5E26, 0x5B4200, 0xC0716A, 0x474747, 0x7B7B7B, 0xA6EE8E, 0x7F72E3, 0xB2B2B2,
};

class Screen {
public:
    void set(int x, int y, uint8_t c) {
        if (x >= 0 && x < kW && y >= 0 && y < kH) px_[size_t(y * kW + x)] = c;
    }
    uint8_t get(int x, int y) const { return px_[size_t(y * kW + x)]; }
    void rect(int x, int y, int w, int h, uint8_t c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) set(i, j, c);
    }
    void frame(uint8_t border, uint8_t background) {
        rect(0, 0, kW, kH, border);
        rect(kBorderX, kBorderY, kCols * 8, kRows * 8, background);
    }

    // Draws a string with each font pixel as an sx-by-sy block; colour(x, y) picks the ink.
    template <class Ink>
        requires std::invocable<Ink, int, int>
    void text(int x, int y, std::string_view s, Ink colour, int sx = 1, int sy = 1) {
        for (size_t i = 0; i < s.size(); ++i) {
            auto g = retroGlyph(s[i]);
            int gx = x + int(i) * 8 * sx;
            for (int r = 0; r < 8; ++r)
                for (int b = 0; b < 8; ++b)
                    if (g[size_t(r)] & (0x80u >> b))
                        for (int j = 0; j < sy; ++j)
                            for (int k = 0; k < sx; ++k) {
                                int px = gx + b * sx + k, py = y + r * sy + j;
                                set(px, py, colour(px, py));
                            }
        }
    }
    void text(int x, int y, std::string_view s, uint8_t c, int sx = 1, int sy = 1) {
        text(x, y, s, [c](int, int) { return c; }, sx, sy);
    }
    // Character-grid text inside the screen area.
    void print(int col, int row, std::string_view s, uint8_t c) {
        text(kBorderX + col * 8, kBorderY + row * 8, s, c);
    }
    // Reverse video: the cells are filled with ink and the letters cut out in paper.
    void printReverse(int col, int row, std::string_view s, uint8_t ink, uint8_t paper) {
        rect(kBorderX + col * 8, kBorderY + row * 8, int(s.size()) * 8, 8, ink);
        print(col, row, s, paper);
    }

    Image scaled() const {
        // Nearest neighbour x4: every screen pixel becomes a crisp 4x4 block.
        Image img(kW * 4, kH * 4);
        for (int y = 0; y < kH * 4; ++y)
            for (int x = 0; x < kW * 4; ++x) img.at(x, y) = hex(kPalette[get(x / 4, y / 4)]);
        return img;
    }

private:
    std::array<uint8_t, size_t(kW * kH)> px_{};
};

int centredCol(std::string_view s) { return (kCols - int(s.size())) / 2; }

// One raster bar: the colour list is mirrored around its last entry, one colour per line.
void rasterBar(Screen& s, int y, const std::vector<uint8_t>& half, int x0 = 0, int x1 = kW) {
    int n = int(half.size());
    for (int i = 0; i < 2 * n - 1; ++i) {
        uint8_t c = half[size_t(i < n ? i : 2 * n - 2 - i)];
        s.rect(x0, y + i, x1 - x0, 1, c);
    }
}

const std::vector<uint8_t> kBarBlue = {BLUE, LBLUE, CYAN, LGREY, WHITE};
const std::vector<uint8_t> kBarFire = {BROWN, RED, ORANGE, LRED, YELLOW, WHITE};
const std::vector<uint8_t> kBarGreen = {BROWN, GREEN, LGREEN, YELLOW, WHITE};
const std::vector<uint8_t> kBarPurple = {BLUE, PURPLE, LRED, LGREY, WHITE};
const std::vector<uint8_t> kBarGrey = {DGREY, GREY, LGREY, WHITE};

void starDots(Screen& s, int y0, int y1, int count, uint32_t seed) {
    for (int i = 0; i < count; ++i) {
        int x = kBorderX + int(hash3(i, 1, seed) % uint32_t(kCols * 8));
        int y = y0 + int(hash3(i, 2, seed) % uint32_t(y1 - y0));
        uint32_t kind = hash3(i, 3, seed) % 6u;
        // Only in open sky: keep a clear pixel around every star.
        bool clear = true;
        for (int j = -3; j <= 3; ++j)
            for (int i2 = -3; i2 <= 3; ++i2) {
                int px = x + i2, py = y + j;
                if (px >= kBorderX && px < kBorderX + kCols * 8 && py >= y0 && py < y1 && s.get(px, py) != BLACK)
                    clear = false;
            }
        if (!clear) continue;
        if (kind == 0) {
            s.set(x, y, WHITE);
            s.set(x - 1, y, GREY);
            s.set(x + 1, y, GREY);
            s.set(x, y - 1, GREY);
            s.set(x, y + 1, GREY);
        } else {
            s.set(x, y, kind < 3 ? GREY : (kind < 5 ? DGREY : LBLUE));
        }
    }
}

}  // namespace

Image makeRetroTitle() {
    Screen s;
    s.frame(BLUE, BLACK);

    // Raster bars run through the top and bottom border.
    rasterBar(s, 3, kBarBlue);
    rasterBar(s, 184, kBarFire);
    s.rect(0, 0, kW, 2, BLACK);
    s.rect(0, 198, kW, 2, BLACK);

    const int sx0 = kBorderX, sx1 = kBorderX + kCols * 8;

    // Presenter line.
    std::string_view pres = "THE QUORB CREW PRESENTS";
    s.text(kBorderX + centredCol(pres) * 8 + 4, 24, pres, [](int, int y) {
        return y < 26 ? LGREY : (y < 29 ? GREY : DGREY);
    });

    // The logo: font pixels blown up to 2x3 blocks, a drop shadow, and a colour per line.
    std::string_view logo = "QUORBLESTRATION";
    const int lx = kBorderX + (kCols * 8 - int(logo.size()) * 16) / 2 + 1, ly = 38;
    s.text(lx + 2, ly + 3, logo, PURPLE, 2, 3);
    s.text(lx + 1, ly + 1, logo, BLUE, 2, 3);
    // Alternating lines at each step fake the in-between shades, as raster coders did.
    static const uint8_t logoLines[21] = {WHITE, YELLOW, WHITE, YELLOW, YELLOW, YELLOW, LRED,
                                          YELLOW, LRED, LRED, LRED, RED, LRED, RED,
                                          RED, RED, PURPLE, RED, PURPLE, PURPLE, PURPLE};
    s.text(lx, ly, logo, [&](int, int y) { return logoLines[std::clamp(y - ly, 0, 20)]; }, 2, 3);

    // Chrome lines flanking a huge nine.
    const int ny = 66, nh = 35;
    // Blue sky over a golden floor with a hard horizon: the chrome look.
    static const uint8_t chrome[35] = {BLUE, BLUE, LBLUE, BLUE, LBLUE, LBLUE, LBLUE, CYAN, LBLUE,
                                       CYAN, CYAN, CYAN, LGREY, CYAN, LGREY, WHITE, WHITE, WHITE,
                                       BROWN, BROWN, ORANGE, BROWN, ORANGE, ORANGE, LRED, ORANGE,
                                       LRED, LRED, YELLOW, LRED, YELLOW, YELLOW, WHITE, YELLOW, WHITE};
    const int nx = kW / 2 - 21;
    s.text(nx + 4, ny + 3, "9", BLUE, 6, 5);
    s.text(nx, ny, "9", [&](int, int y) { return chrome[std::clamp(y - ny, 0, nh - 1)]; }, 6, 5);
    for (int i = 0; i < 4; ++i) {
        int y = ny + 8 + i * 5;
        uint8_t c = kBarBlue[size_t(4 - i)];
        int len = 84 - i * 14;
        s.rect(nx - 10 - len, y, len, 2, c);
        s.rect(nx + 48, y, len, 2, c);
    }

    // Credits.
    struct Credit {
        std::string_view role, name;
    };
    const Credit credits[] = {{"CODE", "NULLMOTH"}, {"GRAPHICS", "PIXELWORT"}, {"MUSIC", "TAPEWYRM"}};
    int cy = 110;
    for (const Credit& c : credits) {
        std::string line(c.role);
        line += ' ';
        while (line.size() < 13) line += '.';
        line += ' ';
        int x = kBorderX + 36;
        s.text(x, cy, line, LBLUE);
        s.text(x + int(line.size()) * 8, cy, c.name, WHITE);
        cy += 10;
    }

    // Scroller between two thin bars, caught mid-scroll, its colours washing across.
    rasterBar(s, 142, {BLUE, LBLUE, WHITE});
    rasterBar(s, 165, {BLUE, LBLUE, WHITE});
    const std::string_view scroll =
        "O... WELCOME TO QUORBLESTRATION 9 ... HELLO TO EVERY CODER, PIXEL PUSHER AND TRACKER";
    static const uint8_t wash[] = {RED, LRED, ORANGE, YELLOW, LGREEN, GREEN, CYAN, LBLUE, BLUE, PURPLE};
    Screen line;  // draw into a scratch screen so the text can be clipped to the window
    line.text(kBorderX - 5, 148, scroll, [&](int x, int y) {
        return wash[size_t(((x + 2 * (y - 148)) / 6) % 10)];
    }, 1, 2);
    for (int y = 148; y < 164; ++y)
        for (int x = sx0; x < sx1; ++x)
            if (line.get(x, y) != BLACK) s.set(x, y, line.get(x, y));

    // Footer inside the screen.
    s.text(sx0, 171, "  (C) 2003 QUORB   HIT SPACE!  ", GREY);
    starDots(s, kBorderY, 141, 90, 5u);
    return s.scaled();
}

Image makeRetroBoot() {
    Screen s;
    s.frame(LBLUE, BLUE);
    std::string_view head = "**** QUORB 64 BASIC V2 ****";
    s.print(centredCol(head), 1, head, LBLUE);
    std::string_view mem = "64K QRAM  38911 BASIC BYTES FREE";
    s.print(centredCol(mem), 3, mem, LBLUE);
    s.print(0, 5, "READY.", LBLUE);
    s.print(0, 6, "LOAD\"QUORB9\",8,1", LBLUE);
    s.print(0, 8, "SEARCHING FOR QUORB9", LBLUE);
    s.print(0, 9, "LOADING", LBLUE);
    s.print(0, 10, "READY.", LBLUE);
    s.print(0, 11, "RUN", LBLUE);
    s.rect(kBorderX, kBorderY + 12 * 8, 8, 8, LBLUE);  // the cursor, caught while lit
    return s.scaled();
}

Image makeRetroTape() {
    Screen s;
    // Loader stripes: the border flips colour with the bits coming off the tape.
    static const uint8_t stripes[] = {LBLUE, YELLOW, RED, CYAN, PURPLE, LGREEN, ORANGE, WHITE, BLUE};
    int y = 0;
    uint32_t n = 0;
    while (y < kH) {
        int h = 1 + int(hash3(int(n), 7, 77u) % 4u);
        s.rect(0, y, kW, h, stripes[hash3(int(n), 8, 77u) % 9u]);
        y += h;
        ++n;
    }
    s.rect(kBorderX, kBorderY, kCols * 8, kRows * 8, BLACK);
    s.print(1, 1, "START THE TAPE DECK", LGREY);
    s.print(1, 3, "OK", LGREY);
    s.print(1, 5, "SEARCHING FOR QUORB9", LGREY);
    s.print(1, 6, "FOUND QUORB9", LGREY);

    std::string_view t = "QUORB TURBO";
    int tx = kBorderX + (kCols * 8 - int(t.size()) * 16) / 2;
    s.text(tx + 2, 94, t, RED, 2, 2);
    s.text(tx, 92, t, [](int, int y) {
        static const uint8_t c[16] = {WHITE, WHITE, YELLOW, YELLOW, YELLOW, LRED, LRED, LRED,
                                      ORANGE, ORANGE, ORANGE, RED, RED, BROWN, BROWN, BROWN};
        return c[std::clamp(y - 92, 0, 15)];
    }, 2, 2);

    s.print(1, 12, "LOADING", WHITE);
    // Progress: 21 of 30 cells filled, block by block.
    for (int i = 0; i < 30; ++i) {
        uint8_t c = i < 21 ? (i < 10 ? GREEN : (i < 18 ? LGREEN : YELLOW)) : DGREY;
        s.rect(kBorderX + 8 + i * 8, kBorderY + 14 * 8, 7, 7, c);
    }
    s.print(1, 16, "BLOCKS 0045/0064   70%", LGREY);
    s.print(1, 18, "DO NOT TOUCH THE TAPE!", GREY);
    return s.scaled();
}

Image makeRetroDirectory() {
    Screen s;
    s.frame(LBLUE, BLUE);
    s.print(0, 0, "LOAD\"$\",8", LBLUE);
    s.print(0, 2, "SEARCHING FOR $", LBLUE);
    s.print(0, 3, "LOADING", LBLUE);
    s.print(0, 4, "READY.", LBLUE);
    s.print(0, 5, "LIST", LBLUE);
    s.print(0, 7, "0 ", LBLUE);
    s.printReverse(2, 7, "\"QUORB DEMOS 03  \" Q9 2A", LBLUE, BLUE);
    const char* rows[] = {
        "33   \"QUORBLESTRATION9\" PRG",
        "4    \"Q9 NOTES\"         SEQ",
        "12   \"TAPEWYRM TUNES\"   PRG",
        "7    \"PIXELWORT GFX\"    PRG",
        "2    \"HISCORES\"         USR",
        "1    \"----------------\" DEL",
        "19   \"NULLMOTH TOOLS\"   PRG",
    };
    int r = 8;
    for (const char* line : rows) s.print(0, r++, line, LBLUE);
    s.print(0, r++, "586 BLOCKS FREE.", LBLUE);
    s.print(0, r++, "READY.", LBLUE);
    s.rect(kBorderX, kBorderY + r * 8, 8, 8, LBLUE);
    return s.scaled();
}

Image makeRetroPicture() {
    Screen s;
    s.frame(BLACK, BLACK);
    // A multicolour-mode style landscape: double-wide pixels, ordered dither between bands.
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    static const uint8_t sky[] = {BLACK, BLUE, PURPLE, LRED, ORANGE, YELLOW, WHITE};
    const int x0 = kBorderX, y0 = kBorderY, w = kCols * 8, h = kRows * 8 - 16;
    const int horizon = y0 + 92;
    const float sunX = float(x0 + w / 2), sunY = float(horizon - 50), sunR = 32.f;
    auto dither = [&](const uint8_t* ramp, int n, float t, int x, int y) {
        float p = std::clamp(t, 0.f, 1.f) * float(n - 1);
        int i = std::min(int(p), n - 2);
        float f = p - float(i);
        return (f * 16.f > float(bayer[y & 3][(x / 2) & 3]) + 0.5f) ? ramp[i + 1] : ramp[i];
    };
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; x += 2) {
            float fx = float(x) + 1.f;
            uint8_t c;
            // Peaks: folded noise gives sharp crests.
            float far = 1.f - std::abs(fbm(fx / 70.f, 0.3f, 4, 0, 3u));
            float near = 1.f - std::abs(fbm(fx / 40.f + 9.f, 4.1f, 4, 0, 4u));
            float ridgeFar = float(horizon) - 8.f - 34.f * far * far * far;
            float ridgeNear = float(horizon) - 2.f - 16.f * near * near;
            if (y < horizon) {
                float dx = fx - sunX, dy = float(y) - sunY;
                bool sun = dx * dx + dy * dy < sunR * sunR;
                // The sun is cut by gaps that widen towards its foot.
                int band = y - int(sunY);
                bool gap = band > 2 && (band % 6) < 1 + band / 9;
                if (sun && !gap) {
                    static const uint8_t sunRamp[] = {WHITE, YELLOW, YELLOW, YELLOW, LRED};
                    c = dither(sunRamp, 5, (float(y) - (sunY - sunR)) / (2.f * sunR) * 0.9f, x, y);
                } else {
                    c = dither(sky, 7, float(y - y0) / float(horizon - y0) * 0.95f, x, y);
                }
                if (float(y) > ridgeFar) c = float(y) > ridgeFar + 3.f ? PURPLE : LRED;
                if (float(y) > ridgeNear) c = float(y) > ridgeNear + 2.f ? BLUE : PURPLE;
            } else {
                // Water: the sky mirrored, broken into ripples.
                int my = 2 * horizon - y - 1;
                float ripple = std::sin(float(y) * 1.7f + std::sin(fx * 0.05f) * 2.f);
                int sxm = x + int(ripple * float(y - horizon) * 0.12f);
                float dx = float(sxm) - sunX, dy = float(my) - sunY;
                float halfW = sunR * 0.55f * (1.f - float(y - horizon) / float(h - (horizon - y0)) * 0.6f);
                bool sun = std::abs(dx) < halfW && dy < sunR * 0.9f && ((y - horizon) % 4 < 2);
                static const uint8_t water[] = {BLUE, PURPLE, LRED, ORANGE, YELLOW};
                float t = sun ? 0.75f + 0.25f * float(my - (sunY - sunR)) / (2.f * sunR)
                              : 0.45f - 0.5f * float(y - horizon) / float(y0 + h - horizon);
                c = dither(water, 5, t, x, y);
                if ((y - horizon) % 5 == 0 && !sun) c = c == BLUE ? BLACK : BLUE;
            }
            s.set(x, y, c);
            s.set(x + 1, y, c);
        }
    // Caption strip under the picture.
    s.rect(x0, y0 + h, w, 16, BLUE);
    std::string_view cap = "QUORBLESTRATION 9";
    s.text(x0 + (w - int(cap.size()) * 8) / 2, y0 + h + 4, cap, WHITE);
    s.text(x0 + w - 4 * 8 - 2, y0 + 4, "Q9", LGREY, 2, 1);
    return s.scaled();
}

Image makeRetroPlayer() {
    Screen s;
    s.frame(DGREY, BLACK);
    rasterBar(s, kBorderY + 1, kBarPurple, kBorderX, kBorderX + kCols * 8);
    std::string_view title = "QUORB SOUND SYSTEM";
    s.text(kBorderX + centredCol(title) * 8, kBorderY + 1, title, BLACK);
    s.print(1, 2, "TUNE  : VEMO", LGREY);
    s.print(1, 3, "BY    : TAPEWYRM", LGREY);
    s.print(1, 4, "SONG  : 1/3   SPEED: 06", LGREY);
    s.print(1, 5, "TIME  : 01:26", LGREY);

    // Three voices: a level meter each, built from solid cells.
    const int levels[3] = {22, 15, 27};
    for (int v = 0; v < 3; ++v) {
        int row = 7 + v * 2;
        s.print(1, row, std::string("V") + char('1' + v), CYAN);
        for (int i = 0; i < 28; ++i) {
            uint8_t c = i < levels[v] ? (i < 16 ? GREEN : (i < 23 ? YELLOW : RED)) : DGREY;
            s.rect(kBorderX + (4 + i) * 8, kBorderY + row * 8 + 1, 7, 6, c);
        }
    }

    // Pattern view: the current row is lit.
    static const char* pattern[] = {
        "0C C-4 3F  --- 00  G-2 18",
        "0D --- 00  E-4 21  --- 00",
        "0E D#4 3F  --- 00  G-2 18",
        "0F --- 00  C-5 21  A#2 1A",
        "10 F-4 3F  G-4 21  C-3 18",
        "11 --- 00  --- 00  --- 00",
        "12 G-4 3F  A#4 21  D#3 1A",
    };
    for (int i = 0; i < 7; ++i) {
        int row = 13 + i;
        if (i == 3) {
            s.rect(kBorderX, kBorderY + row * 8, kCols * 8, 8, BLUE);
            s.print(1, row, pattern[i], WHITE);
        } else {
            s.print(1, row, pattern[i], i < 3 ? GREY : LBLUE);
        }
    }
    return s.scaled();
}

}  // namespace q9tex

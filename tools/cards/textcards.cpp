// The three text cards: credits, greetings and a short history. They share
// one look: deep space, a chrome heading and neon-edged glass panels.
#include "cards.hpp"
#include "fx.hpp"

#include <string>

namespace cards {

namespace {

constexpr int W = 1024, H = 768;
constexpr float kPi = 3.14159265f;

Col hueColour(float h) {
    // Saturated neon hues: h in [0, 1) around the colour wheel.
    float r = 0.5f + 0.5f * std::cos(2.f * kPi * (h + 0.f));
    float g = 0.5f + 0.5f * std::cos(2.f * kPi * (h - 1.f / 3.f));
    float b = 0.5f + 0.5f * std::cos(2.f * kPi * (h - 2.f / 3.f));
    return Col{r, g, b} * 0.8f + Col{0.2f, 0.2f, 0.2f};
}

// Text in a flat colour with a soft halo of the same hue.
void neonText(Image& img, const Font& font, std::u32string_view text, float x, float baseline, const TextStyle& st,
              Col fill, Col halo, float haloK, bool centred = false) {
    Mask m(W, H);
    if (centred)
        font.drawCentred(m, text, x, baseline, st);
    else
        font.draw(m, text, x, baseline, st);
    if (haloK > 0.f) glow(img, m, halo, std::max(2.f, st.px * 0.12f), haloK);
    paintOver(img, m, fill);
}

void footer(Image& img, const Fonts& f, std::u32string_view text) {
    TextStyle st;
    st.px = 15.f;
    st.tracking = 5.f;
    fadeLine(img, 120.f, W - 120.f, H - 62.f, 0.5f, rgb8(120, 160, 255), 0.6f);
    neonText(img, f.sans, text, W * 0.5f, H - 34.f, st, rgb8(150, 160, 210), rgb8(90, 110, 255), 0.4f, true);
}

// A round neon badge with a symbol in it, for the credit roles.
void badge(Image& img, const Font& font, std::u32string_view symbol, float cx, float cy, float r, Col c) {
    Mask disc(W, H);
    fillCircle(disc, cx, cy, r);
    glow(img, disc, c, r * 0.5f, 0.35f);
    paintOverFn(
        img, disc, [&](int, int y) { return mix(c * 0.55f, rgb8(8, 6, 24), clamp01((y - (cy - r)) / (2 * r))); },
        0.9f);
    Mask edge = ring(disc, 2.f);
    ChromeStyle cs;
    cs.bevel = 2.f;
    cs.top = cy - r;
    cs.bottom = cy + r;
    cs.env = envIce();
    chrome(img, edge, cs);
    TextStyle st;
    st.px = r * 1.05f;
    Mask m(W, H);
    font.drawCentred(m, symbol, cx, cy + font.capHeight(st.px) * 0.5f, st);
    glow(img, m, c, 5.f, 0.9f);
    paintOver(img, m, rgb8(255, 255, 255));
}

}  // namespace

void cardBackdrop(Image& img, uint32_t seed, Col nebulaA, Col nebulaB) {
    verticalGradient(img, {{0.f, rgb8(3, 3, 14)}, {0.55f, rgb8(12, 6, 34)}, {1.f, rgb8(24, 8, 44)}});
    nebula(img, seed, 240.f, nebulaA, nebulaB, 0.6f, [](float, float) { return 1.f; });
    starfield(img, 0xC0FFEEull + seed, 420, float(img.h), 0.8f);
    // Low glow along the bottom, so the cards do not end in a flat black.
    for (int y = 0; y < img.h; ++y) {
        float k = std::exp(-(img.h - y) / 90.f) * 0.35f;
        for (int x = 0; x < img.w; ++x) img.add(x, y, mix(nebulaA, nebulaB, float(x) / img.w) * k);
    }
}

Mask chromeHeading(Image& img, const Font& font, std::u32string_view text, float cx, float baseline, float px,
                   Col glowColour) {
    TextStyle st;
    st.px = px;
    st.tracking = px * 0.06f;
    st.shear = 0.16f;
    Mask m(img.w, img.h);
    font.drawCentred(m, text, cx, baseline, st);
    float cap = font.capHeight(px);
    Mask outline = grow(m, std::max(2.f, px * 0.03f));
    darken(img, shifted(softened(outline, px * 0.05f), int(px * 0.05f), int(px * 0.08f)), 0.8f);
    glow(img, outline, glowColour, px * 0.12f, 0.9f);
    glow(img, outline, glowColour, px * 0.4f, 0.35f);
    paintOver(img, outline, rgb8(4, 4, 20));
    ChromeStyle cs;
    cs.bevel = std::max(3.f, px * 0.065f);
    cs.top = baseline - cap - 2.f;
    cs.bottom = baseline + 2.f;
    chrome(img, m, cs);
    float w = font.width(text, st);
    sparkle(img, cx - w * 0.5f + cap * 0.35f, baseline - cap + 4.f, px * 0.45f, rgb8(220, 240, 255), 1.1f);
    sparkle(img, cx + w * 0.5f - cap * 0.2f, baseline - cap * 0.15f, px * 0.3f, rgb8(220, 240, 255), 0.8f);
    return m;
}

Image creditsCard(const Fonts& f) {
    Image img(W, H);
    cardBackdrop(img, 21u, rgb8(40, 90, 200), rgb8(170, 40, 170));
    chromeHeading(img, f.condensedBold, U"CREDITS", W * 0.5f, 150.f, 118.f, rgb8(60, 170, 255));
    fadeLine(img, 160.f, W - 160.f, 184.f, 0.6f, rgb8(120, 200, 255), 0.9f);

    struct Role {
        const char32_t* role;
        const char32_t* symbol;
        const char32_t* note;
        Col colour;
    };
    const Role roles[] = {
        {U"CODE", U"{ }", U"C++20, fixed-function OpenGL and far too much coffee", rgb8(60, 200, 255)},
        {U"GRAPHICS", U"\u25B2", U"every picture, mesh and glyph computed at build time", rgb8(255, 70, 200)},
        {U"MUSIC", U"\u266B", U"synthesised from nothing: no samples, just oscillators", rgb8(255, 190, 40)},
    };
    const float top0 = 222.f, step = 150.f, panelH = 118.f;
    for (int i = 0; i < 3; ++i) {
        const Role& r = roles[i];
        float y0 = top0 + step * i, y1 = y0 + panelH, cy = (y0 + y1) * 0.5f;
        glassPanel(img, 130.f, y0, W - 130.f, y1, 18.f, rgb8(10, 12, 40), 0.72f, r.colour, 0.9f);
        badge(img, f.sansBold, r.symbol, 205.f, cy, 38.f, r.colour);
        TextStyle label;
        label.px = 20.f;
        label.tracking = 8.f;
        neonText(img, f.sansBold, r.role, 275.f, y0 + 38.f, label, r.colour * 1.15f, r.colour, 0.7f);
        TextStyle name;
        name.px = 37.f;
        name.shear = 0.1f;
        neonText(img, f.sansBold, U"the Quorblestration 9 team", 273.f, y0 + 82.f, name, rgb8(255, 255, 255),
                 r.colour, 0.55f);
        TextStyle note;
        note.px = 16.f;
        note.tracking = 0.5f;
        neonText(img, f.sans, r.note, 276.f, y0 + 105.f, note, rgb8(170, 180, 220), r.colour, 0.f);
    }
    footer(img, f, U"QUORBLESTRATION 9  \u00B7  MADE ENTIRELY FROM SCRATCH");
    return img;
}

Image greetsCard(const Fonts& f) {
    Image img(W, H);
    cardBackdrop(img, 33u, rgb8(200, 40, 140), rgb8(40, 80, 220));
    chromeHeading(img, f.condensedBold, U"GREETINGS", W * 0.5f, 142.f, 112.f, rgb8(255, 60, 200));
    TextStyle sub;
    sub.px = 19.f;
    sub.tracking = 3.f;
    neonText(img, f.sans, U"the Quorblestration 9 team waves at", W * 0.5f, 190.f, sub, rgb8(210, 215, 255),
             rgb8(255, 80, 200), 0.4f, true);

    const char32_t* groups[] = {
        U"Blorptronix",   U"Vektorkatt",     U"Moir\u00E9 Monks",  U"Plasmagr\u00F8t", U"Sinusbaron",
        U"Quaxel & Co",   U"Nullpunkt Nord", U"Glitterkrok",       U"Trixelhaus",      U"Kobolt Kiosk",
        U"Rasterfjell",   U"Fraktalfisk",    U"Wobblewerk",        U"Hexagnomes",      U"Ostepop Crew",
        U"Polygonp\u00F8lse", U"Dithermaus", U"Zorbatron 3000",
    };
    glassPanel(img, 70.f, 222.f, W - 70.f, 662.f, 22.f, rgb8(8, 8, 34), 0.66f, rgb8(255, 90, 210), 0.8f);
    const int cols = 3, rows = 6;
    const float colW = (W - 140.f) / cols, rowH = 68.f;
    for (int i = 0; i < cols * rows; ++i) {
        int c = i % cols, r = i / cols;
        float x = 70.f + colW * c + 46.f, baseline = 272.f + rowH * r + 22.f;
        Col hue = hueColour(0.55f + 0.37f * float(i) / (cols * rows) + 0.08f * c);
        Mask dot(W, H);
        fillCircle(dot, x - 16.f, baseline - 11.f, 5.5f);
        glow(img, dot, hue, 5.f, 1.2f);
        paintOver(img, dot, mix(hue, rgb8(255, 255, 255), 0.5f));
        TextStyle st;
        st.px = 28.f;
        st.shear = 0.12f;
        // Long names shrink to their column.
        float wName = f.sansBold.width(groups[i], st);
        if (wName > colW - 70.f) st.px *= (colW - 70.f) / wName;
        neonText(img, f.sansBold, groups[i], x, baseline, st, mix(hue, rgb8(255, 255, 255), 0.55f), hue, 0.75f);
    }
    footer(img, f, U"AND TO EVERYONE WHO STILL COUNTS CYCLES");
    return img;
}

Image historyCard(const Fonts& f) {
    Image img(W, H);
    cardBackdrop(img, 45u, rgb8(230, 120, 40), rgb8(120, 40, 190));
    chromeHeading(img, f.condensedBold, U"A SHORT HISTORY", W * 0.5f, 128.f, 84.f, rgb8(255, 150, 40));

    struct Entry {
        const char32_t* year;
        const char32_t* title;
        const char32_t* line;
    };
    const Entry entries[] = {
        {U"1996", U"Quorblestration 1", U"one spinning cube, one floppy disk, unlimited optimism"},
        {U"1998", U"Quorblestration 3", U"the first tunnel; nobody understood the name then either"},
        {U"2001", U"Quorblestrations 4 to 7", U"lost forever to a single scratched disc"},
        {U"2004", U"Quorblestration 8", U"finished at five in the morning, shown at two past five"},
        {U"NOW", U"Quorblestration 9", U"every pixel, mesh and note generated from code"},
    };
    const float lineX = 250.f, top = 205.f, step = 98.f;
    // The time line: a glowing rail with a node for every entry.
    Mask rail(W, H);
    strokeLine(rail, lineX, top - 10.f, lineX, top + step * 4 + 30.f, 1.6f);
    glow(img, rail, rgb8(255, 140, 40), 6.f, 0.9f);
    paintOver(img, rail, rgb8(255, 210, 150));
    for (int i = 0; i < 5; ++i) {
        const Entry& e = entries[i];
        float cy = top + step * i + 26.f;
        bool last = i == 4;
        Col c = last ? rgb8(60, 220, 255) : rgb8(255, 150, 40);
        Mask node(W, H);
        fillCircle(node, lineX, cy, last ? 11.f : 8.f);
        glow(img, node, c, 10.f, 1.4f);
        Mask nodeRing = ring(node, 2.5f);
        ChromeStyle cs;
        cs.bevel = 2.f;
        cs.top = cy - 10.f;
        cs.bottom = cy + 10.f;
        cs.env = last ? envIce() : envGold();
        paintOver(img, node, mix(c, rgb8(255, 255, 255), 0.5f));
        chrome(img, nodeRing, cs);

        // Year to the left of the rail, in gold chrome.
        TextStyle ys;
        ys.px = 46.f;
        ys.shear = 0.14f;
        Mask ym(W, H);
        float yw = f.condensedBold.width(e.year, ys);
        f.condensedBold.draw(ym, e.year, lineX - 34.f - yw, cy + 17.f, ys);
        Mask yo = grow(ym, 2.f);
        glow(img, yo, c, 8.f, 0.6f);
        paintOver(img, yo, rgb8(20, 8, 4));
        ChromeStyle yc;
        yc.bevel = 3.f;
        yc.top = cy - 17.f;
        yc.bottom = cy + 19.f;
        yc.env = last ? envIce() : envGold();
        chrome(img, ym, yc);

        TextStyle ts;
        ts.px = 29.f;
        ts.shear = 0.08f;
        neonText(img, f.sansBold, e.title, lineX + 36.f, cy - 2.f, ts, rgb8(255, 255, 255), c, 0.5f);
        TextStyle ls;
        ls.px = 18.f;
        neonText(img, f.sans, e.line, lineX + 38.f, cy + 26.f, ls, rgb8(190, 190, 220), c, 0.f);
    }
    footer(img, f, U"ALL OF IT TRUE, MORE OR LESS");
    return img;
}

}  // namespace cards

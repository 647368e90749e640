// The "rushed" card: the word painted by hand in thick, dripping paint over
// a magenta brush swash. The hand comes from bending DejaVu outlines with
// smooth noise, tilting each letter, roughening the edges and letting the
// paint run.
#include "cards.hpp"
#include "fx.hpp"

namespace cards {

namespace {

constexpr int W = 1024, H = 768;

// Thick stroke stamped along a gentle curve, dry and broken at its ends.
void brushSwash(Image& img) {
    Mask m(W, H);
    const float x0 = 60.f, x1 = 980.f;
    Rng rng(0x5A5Aull);
    for (int i = 0; i <= 400; ++i) {
        float t = i / 400.f;
        float x = lerp(x0, x1, t);
        float y = 520.f - 150.f * t + 38.f * std::sin(t * 3.3f + 0.4f);
        float r = 62.f * (0.7f + 0.3f * std::sin(t * 3.14159f)) * (0.97f + 0.06f * rng.uniform());
        fillCircle(m, x, y, r);
    }
    // Bristle streaks run along the stroke: sample noise in a frame turned
    // to its slope, long along it and narrow across it.
    const float ang = -0.16f, ca = std::cos(ang), sa = std::sin(ang);
    Mask depth = softened(m, 16.f);  // low near the stroke's edges
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float& a = m.at(x, y);
            if (a <= 0.f) continue;
            float u = x * ca + y * sa, v = -x * sa + y * ca;
            float bristle = valueNoise(u / 160.f, v / 2.6f, 91u) * 0.6f + valueNoise(u / 60.f, v / 7.f, 92u) * 0.4f;
            float t = (x - x0) / (x1 - x0);
            // The brush lands wet and runs dry at the end and along its sides.
            float dry = std::max(smoothstep(0.72f, 1.05f, t), smoothstep(0.08f, -0.04f, t)) +
                        0.5f * smoothstep(0.75f, 0.35f, depth.at(x, y));
            a *= smoothstep(0.12f + 0.6f * dry, 0.3f + 0.6f * dry, bristle);
        }
    glow(img, m, rgb8(255, 20, 120), 30.f, 0.35f);
    paintOverFn(
        img, m,
        [](int x, int y) {
            float s = valueNoise(x / 90.f, y / 3.f, 93u);
            return mix(rgb8(170, 8, 80), rgb8(255, 40, 140), s);
        },
        0.95f);
}

void backdrop(Image& img) {
    verticalGradient(img, {{0.f, rgb8(14, 6, 20)}, {0.6f, rgb8(26, 6, 24)}, {1.f, rgb8(8, 2, 8)}});
    // Halftone dots, biggest in the corners.
    const float cell = 14.f;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float u = (x + y) * 0.70710678f / cell, v = (x - y) * 0.70710678f / cell;
            float du = u - std::round(u), dv = v - std::round(v);
            float d = std::sqrt(du * du + dv * dv) * cell;
            float cx = (x + 0.5f) / W - 0.5f, cy = (y + 0.5f) / H - 0.5f;
            float r = cell * 0.42f * smoothstep(0.25f, 0.75f, std::sqrt(cx * cx + cy * cy));
            float cov = clamp01(r - d + 0.5f);
            float grain = (hash2(x, y, 55u) - 0.5f) * 0.025f;
            img.add(x, y, rgb8(120, 10, 60) * (cov * 0.55f) + Col{grain, grain, grain});
        }
}

Mask paintedWord(const Fonts& f, Rect& letters) {
    const std::u32string word = U"rushed";
    Rng rng(0x7215EDull);
    GlyphPose poses[6];
    for (GlyphPose& p : poses) {
        p.rotate = rng.range(-0.13f, 0.13f);
        p.scale = rng.range(0.93f, 1.1f);
        p.dy = rng.range(-16.f, 16.f);
        p.dx = rng.range(-6.f, 6.f);
    }
    TextStyle st;
    st.px = 236.f;
    st.shear = 0.22f;
    st.tracking = -14.f;
    st.pose = [&](int i, char32_t) { return poses[i % 6]; };
    st.warp = [](int i, float& x, float& y) {
        // Slow wobble, different for every letter, a few pixels deep.
        float s = 37.f * i;
        float nx = valueNoise(x / 38.f + s, y / 38.f, 301u) - 0.5f;
        float ny = valueNoise(x / 38.f, y / 38.f + s, 302u) - 0.5f;
        x += nx * 16.f;
        y += ny * 16.f;
    };
    Mask m(W, H);
    float baseline = 462.f;
    f.sansBold.drawCentred(m, word, W * 0.5f - 8.f, baseline, st);
    letters = bounds(m, 0);

    // Runs of paint from the lower edges of the strokes.
    Rng drip(0xD81Bull);
    int lastX = -100;
    for (int x = letters.x0 + 4; x < letters.x1 - 4; x += 2) {
        for (int y = letters.y1 - 1; y > letters.y0 + 40; --y) {
            if (m.at(x, y) < 0.5f) continue;
            // Bottom of a stroke with room below it.
            bool open = true;
            for (int k = 1; k <= 10 && open; ++k) open = m.get(x, y + k) < 0.1f;
            if (open && x - lastX > 30 && drip.uniform() < 0.13f) {
                float wdt = drip.range(3.5f, 9.f), len = 12.f + 150.f * std::pow(drip.uniform(), 1.6f);
                float yEnd = y + len;
                strokeLine(m, float(x), float(y) - 4.f, float(x) + drip.range(-2.f, 2.f), yEnd, wdt * 0.5f);
                fillCircle(m, float(x), yEnd, wdt * 0.8f);
                lastX = x;
            }
            break;
        }
    }
    // Splatter thrown off the brush.
    Rng spl(0x5917ull);
    for (int i = 0; i < 90; ++i) {
        float x = spl.range(letters.x0 - 60.f, letters.x1 + 60.f), y = spl.range(letters.y0 - 50.f, letters.y1 + 90.f);
        float r = 1.2f + 6.f * std::pow(spl.uniform(), 3.f);
        fillCircle(m, x, y, r);
        for (int k = spl.below(4); k > 0; --k)
            fillCircle(m, x + spl.range(-3.f, 3.f) * r, y + spl.range(-3.f, 3.f) * r, r * spl.range(0.2f, 0.45f));
    }
    // Rough, slightly dry edges.
    Mask soft = softened(m, 1.6f);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float n = valueNoise(x / 5.f, y / 5.f, 401u) * 0.6f + valueNoise(x / 19.f, y / 19.f, 402u) * 0.4f;
            float v = soft.at(x, y) + (n - 0.5f) * 0.42f;
            m.at(x, y) = smoothstep(0.42f, 0.58f, v);
        }
    return m;
}

void caption(Image& img, const Fonts& f) {
    TextStyle st;
    st.px = 17.f;
    st.tracking = 7.f;
    Mask a(W, H), b(W, H);
    f.sansBold.draw(a, U"QUORBLESTRATION 9", 70.f, 92.f, st);
    TextStyle st2 = st;
    st2.px = 15.f;
    st2.tracking = 5.f;
    const std::u32string note = U"MADE IN ONE NIGHT \u00B7 NO REGRETS";
    f.sans.draw(b, note, W - 70.f - f.sans.width(note, st2), H - 78.f, st2);
    glow(img, a, rgb8(255, 40, 140), 5.f, 0.7f);
    glow(img, b, rgb8(255, 40, 140), 5.f, 0.5f);
    paintOver(img, a, rgb8(255, 235, 245));
    paintOver(img, b, rgb8(255, 200, 225));
    fadeLine(img, 70.f, 420.f, 108.f, 0.6f, rgb8(255, 60, 150), 0.8f);
    fadeLine(img, W - 470.f, W - 70.f, H - 66.f, 0.6f, rgb8(255, 60, 150), 0.8f);
}

}  // namespace

Image rushedCard(const Fonts& f) {
    Image img(W, H);
    backdrop(img);
    brushSwash(img);
    Rect box;
    Mask paint = paintedWord(f, box);
    // Hard black shadow first, as a sign painter would block it in.
    darken(img, softened(shifted(paint, 12, 14), 2.f), 0.92f);
    glow(img, paint, rgb8(255, 170, 40), 22.f, 0.45f);
    const float top = float(box.y0), span = float(std::max(1, box.y1 - box.y0));
    paintOverFn(img, paint, [&](int x, int y) {
        float t = clamp01((y - top) / span);
        Col base = ramp({{0.f, rgb8(255, 250, 200)}, {0.45f, rgb8(255, 214, 60)}, {1.f, rgb8(255, 110, 20)}}, t);
        // Brush marks: long streaks across the slanted strokes.
        float u = x * 0.94f + y * 0.34f, v = -x * 0.34f + y * 0.94f;
        float streak = valueNoise(u / 3.2f, v / 70.f, 501u) * 0.7f + valueNoise(u / 11.f, v / 30.f, 502u) * 0.3f;
        return base * (0.78f + 0.34f * streak);
    });
    // Wet shine along the upper-left edges of the paint.
    Mask lit(W, H);
    for (int y = 1; y < H; ++y)
        for (int x = 1; x < W; ++x) {
            float edge = paint.at(x, y) - 0.5f * (paint.at(x - 1, y) + paint.at(x, y - 1));
            lit.at(x, y) = clamp01(edge * 2.f) * paint.at(x, y);
        }
    paintAdd(img, softened(lit, 1.2f), rgb8(255, 255, 240), 0.9f);
    caption(img, f);
    return img;
}

}  // namespace cards

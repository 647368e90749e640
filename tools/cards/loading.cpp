// The loading screen: chrome wordmark in front of a giant neon "9" standing
// on a grid floor. The strip where the progress bar and its two status lines
// are drawn (bottom left) is kept dark and quiet.
#include "cards.hpp"
#include "fx.hpp"

namespace cards {

namespace {

constexpr int W = 1024, H = 768;
constexpr float kHorizon = 512.f;
constexpr float kPanelTop = 628.f;  // the bar sits at 710..730, text at 673..755

void backdrop(Image& img) {
    verticalGradient(img, {{0.00f, rgb8(2, 2, 10)},
                           {0.40f, rgb8(10, 5, 30)},
                           {0.62f, rgb8(40, 10, 62)},
                           {kHorizon / H, rgb8(110, 26, 110)},
                           {kHorizon / H + 0.004f, rgb8(20, 6, 34)},
                           {1.00f, rgb8(4, 2, 12)}});
    nebula(img, 11u, 210.f, rgb8(120, 30, 160), rgb8(20, 70, 170), 0.55f,
           [](float, float y) { return smoothstep(kHorizon + 10.f, kHorizon - 120.f, y); });
    starfield(img, 0x51A25ull, 520, kHorizon - 20.f, 1.f);
    lightRays(img, W * 0.5f, 300.f, rgb8(120, 90, 255), 0.22f, 380.f, 5u);
    // Hot band where the floor meets the sky.
    for (int y = 0; y < H; ++y) {
        float d = (y + 0.5f - kHorizon) / 22.f;
        float k = std::exp(-d * d) * 0.55f;
        for (int x = 0; x < W; ++x) {
            float fx = (x + 0.5f - W * 0.5f) / (W * 0.55f);
            img.add(x, y, rgb8(255, 60, 170) * (k * std::max(0.f, 1.f - fx * fx)));
        }
    }
    floorGrid(img, kHorizon, 0.45f, rgb8(255, 50, 200), 0.8f, 3u);
}

// The big "9": dark glass inside a chrome tube with a magenta halo.
void bigNine(Image& img, const Fonts& f) {
    TextStyle st;
    st.px = 560.f;
    st.shear = 0.12f;
    Mask m(W, H);
    f.sansBold.drawCentred(m, U"9", W * 0.5f + 6.f, kHorizon - 6.f, st);
    glow(img, m, rgb8(255, 40, 190), 40.f, 0.55f);
    glow(img, m, rgb8(150, 40, 255), 90.f, 0.45f);
    paintOverFn(
        img, m,
        [](int x, int y) {
            float n = fbm(x / 90.f, y / 90.f, 3, 77u);
            float scan = 0.85f + 0.15f * ((y / 3) % 2);
            return mix(rgb8(16, 6, 40), rgb8(48, 14, 80), n) * scan;
        },
        0.92f);
    Mask tube = ring(m, 7.f);
    // Thin inner neon line just inside the edge.
    Mask inner = ring(m, 1.5f);
    glow(img, tube, rgb8(255, 80, 220), 6.f, 0.9f);
    ChromeStyle cs;
    cs.bevel = 4.f;
    cs.top = 110.f;
    cs.bottom = kHorizon;
    cs.env = envIce();
    cs.shine = 1.5f;
    chrome(img, tube, cs);
    paintAdd(img, inner, rgb8(255, 120, 230), 0.6f);
}

void wordmark(Image& img, const Fonts& f) {
    const std::u32string word = U"Quorblestration";
    TextStyle st;
    st.px = 150.f;
    st.shear = 0.2f;
    st.tracking = -2.f;
    float w = f.condensedBold.width(word, st);
    st.px *= 940.f / w;
    st.tracking *= 940.f / w;
    float baseline = 318.f;
    float cap = f.condensedBold.capHeight(st.px);
    Mask m(W, H);
    f.condensedBold.drawCentred(m, word, W * 0.5f, baseline, st);

    Mask shadow = shifted(softened(grow(m, 4.f), 7.f), 8, 12);
    darken(img, shadow, 0.85f);
    Mask outline = grow(m, 4.f);
    glow(img, outline, rgb8(40, 200, 255), 14.f, 0.9f);
    paintOver(img, outline, rgb8(4, 6, 22));
    ChromeStyle cs;
    cs.bevel = 9.f;
    cs.top = baseline - cap - 6.f;
    cs.bottom = baseline + st.px * 0.22f;
    cs.shine = 1.6f;
    chrome(img, m, cs);

    // Glints on a few upper-left corners.
    struct Glint {
        float x, y, s;
    };
    const Glint glints[] = {{118.f, baseline - cap + 10.f, 60.f},
                            {500.f, baseline - cap * 0.62f, 42.f},
                            {842.f, baseline - cap + 2.f, 52.f}};
    for (const Glint& g : glints) sparkle(img, g.x, g.y, g.s, rgb8(220, 240, 255), 1.2f);
}

void tagline(Image& img, const Fonts& f) {
    // A dark strip behind the line keeps it crisp where it crosses the "9".
    Mask strip(W, H);
    fillRoundRect(strip, 200.f, 349.f, W - 200.f, 381.f, 4.f);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) strip.at(x, y) *= std::sin(clamp01((x - 200.f) / (W - 400.f)) * 3.14159265f);
    paintOver(img, strip, rgb8(4, 4, 20), 0.75f);
    fadeLine(img, 200.f, W - 200.f, 349.f, 0.5f, rgb8(80, 200, 255), 0.7f);
    fadeLine(img, 200.f, W - 200.f, 381.f, 0.5f, rgb8(80, 200, 255), 0.7f);
    TextStyle st;
    st.px = 21.f;
    st.tracking = 9.f;
    Mask m(W, H);
    f.sans.drawCentred(m, U"A REALTIME DEMONSTRATION", W * 0.5f + 4.f, 373.f, st);
    glow(img, m, rgb8(60, 200, 255), 4.f, 0.8f);
    paintOver(img, m, rgb8(225, 240, 255));
}

// Mirror what stands on the horizon into the floor, faded.
void floorReflection(Image& img) {
    for (int y = int(kHorizon); y < H; ++y) {
        int src = int(2.f * kHorizon) - y - 1;
        if (src < 0) break;
        float k = 0.45f * std::exp(-(y - kHorizon) / 60.f);
        for (int x = 0; x < W; ++x) {
            // Ripple the source column a touch so the floor reads as glossy.
            int sx = std::clamp(x + int(std::lround(2.f * std::sin(y * 0.35f))), 0, W - 1);
            img.add(x, y, img.rgb(sx, src) * k);
        }
    }
}

// Dark band for the progress bar and its two lines, with a lit rim above.
void statusPanel(Image& img, const Fonts& f) {
    for (int y = 0; y < H; ++y) {
        float k = smoothstep(kPanelTop - 26.f, kPanelTop + 2.f, y + 0.5f);
        if (k <= 0.f) continue;
        for (int x = 0; x < W; ++x) {
            Col c = img.rgb(x, y);
            Col calm = mix(rgb8(4, 3, 14), rgb8(2, 2, 8), clamp01((y - kPanelTop) / (H - kPanelTop)));
            img.set(x, y, mix(c, calm, k * 0.97f));
        }
    }
    fadeLine(img, 0.f, float(W), kPanelTop - 1.f, 0.7f, rgb8(90, 200, 255), 0.9f);
    fadeLine(img, 200.f, float(W) - 200.f, kPanelTop - 1.f, 0.5f, rgb8(255, 255, 255), 0.6f);

    // Quiet signature at the right end, away from the bar.
    TextStyle st;
    st.px = 15.f;
    st.tracking = 4.f;
    Mask m(W, H);
    const std::u32string a = U"QUORBLESTRATION", b = U"NINE";
    f.sansBold.draw(m, a, W - 40.f - f.sansBold.width(a, st), 700.f, st);
    TextStyle big;
    big.px = 38.f;
    big.tracking = 10.f;
    big.shear = 0.2f;
    f.sansBold.draw(m, b, W - 40.f - f.sansBold.width(b, big), 742.f, big);
    glow(img, m, rgb8(255, 60, 200), 5.f, 0.5f);
    paintOverFn(img, m, [](int, int y) { return mix(rgb8(200, 230, 255), rgb8(120, 80, 200), clamp01((y - 680) / 70.f)); },
                0.85f);
}

void vignette(Image& img) {
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float dx = (x + 0.5f) / W - 0.5f, dy = (y + 0.5f) / H - 0.45f;
            float k = 1.f - 0.55f * smoothstep(0.3f, 0.75f, std::sqrt(dx * dx + dy * dy));
            float* q = img.px(x, y);
            q[0] *= k, q[1] *= k, q[2] *= k;
        }
}

}  // namespace

Image loadingScreen(const Fonts& f) {
    Image img(W, H);
    backdrop(img);
    bigNine(img, f);
    floorReflection(img);
    wordmark(img, f);
    tagline(img, f);
    vignette(img);
    statusPanel(img, f);
    return img;
}

}  // namespace cards

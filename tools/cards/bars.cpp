// The frame bar laid over the bottom (and, mirrored, the top) of the screen,
// and the VU-meter strip.
#include "cards.hpp"
#include "fx.hpp"

namespace cards {

namespace {

// Cross-section of the chrome rail, from its outer edge (0) to its inner
// edge (1): a polished tube with a dark horizon line through it.
Col railColour(float s) {
    return ramp({{0.00f, rgb8(30, 32, 56)},
                 {0.07f, rgb8(120, 140, 190)},
                 {0.18f, rgb8(255, 255, 255)},
                 {0.30f, rgb8(200, 225, 255)},
                 {0.46f, rgb8(80, 120, 200)},
                 {0.52f, rgb8(20, 16, 44)},
                 {0.60f, rgb8(60, 30, 90)},
                 {0.80f, rgb8(230, 170, 240)},
                 {0.90f, rgb8(150, 110, 170)},
                 {1.00f, rgb8(12, 10, 24)}},
                s);
}

}  // namespace

Image bottomBar() {
    constexpr int W = 1024, H = 128;
    constexpr int railEnd = 20;  // rows 0..19: the opaque chrome edge facing the picture
    Image img(W, H, {}, 0.f);

    // Glass: deep blue, a touch clearer near the rail, faint scan lines and
    // a slanted sheen.
    for (int y = railEnd; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float t = float(y - railEnd) / (H - railEnd);
            Col c = mix(rgb8(14, 18, 52), rgb8(4, 5, 18), t);
            float a = lerp(0.64f, 0.88f, t);
            if (y % 3 == 0) c = c * 0.8f;
            float band = std::fmod(x * 1.f + y * 2.4f + 4000.f, 260.f);
            float sheen = smoothstep(0.f, 30.f, band) * smoothstep(110.f, 40.f, band) * (1.f - t);
            c = c + rgb8(60, 80, 150) * (0.22f * sheen);
            a = std::min(1.f, a + 0.06f * sheen);
            img.set(x, y, c, a);
        }

    // The chrome rail, brushed along its length, with two soft hot spots.
    for (int y = 0; y < railEnd; ++y)
        for (int x = 0; x < W; ++x) {
            float s = (y + 0.5f) / railEnd;
            Col c = railColour(s);
            float brushed = 0.92f + 0.16f * valueNoise(x / 90.f, y * 1.7f, 611u);
            float hx1 = (x - 300.f) / 140.f, hx2 = (x - 770.f) / 110.f;
            float hot = 0.35f * std::exp(-hx1 * hx1) + 0.25f * std::exp(-hx2 * hx2);
            c = c * brushed + Col{1.f, 1.f, 1.f} * (hot * smoothstep(0.45f, 0.2f, std::abs(s - 0.25f)));
            img.set(x, y, c, 1.f);
        }

    // Neon seam under the rail, bleeding down into the glass.
    for (int y = railEnd; y < H; ++y) {
        float d = float(y - railEnd);
        float k = std::exp(-d / 2.2f) * 0.9f + std::exp(-d / 14.f) * 0.25f;
        for (int x = 0; x < W; ++x) {
            float* q = img.px(x, y);
            Col neon = rgb8(60, 200, 255) * k;
            q[0] += neon.r, q[1] += neon.g, q[2] += neon.b;
            q[3] = std::min(1.f, q[3] + 0.5f * k);
        }
    }

    // End caps: chevrons and three status lights at each end, kept clear of
    // the 1% the overlay crops and symmetric so the mirrored bar matches.
    Mask chev(W, H), leds(W, H);
    for (int i = 0; i < 3; ++i) {
        float x = 40.f + 20.f * i;
        strokeLine(chev, x, 54.f, x + 11.f, 68.f, 2.2f);
        strokeLine(chev, x + 11.f, 68.f, x, 82.f, 2.2f);
        float xr = W - 40.f - 20.f * i;
        strokeLine(chev, xr, 54.f, xr - 11.f, 68.f, 2.2f);
        strokeLine(chev, xr - 11.f, 68.f, xr, 82.f, 2.2f);
        fillCircle(leds, 130.f + 16.f * i, 68.f, 3.6f);
        fillCircle(leds, W - 130.f - 16.f * i, 68.f, 3.6f);
    }
    Mask halo = softened(chev, 4.f);
    for (size_t i = 0; i < halo.v.size(); ++i) {
        int x = int(i % W), y = int(i / W);
        float k = std::min(1.f, halo.v[i] * 1.6f);
        float* q = img.px(x, y);
        q[0] += 1.f * k * 0.5f, q[1] += 0.25f * k * 0.5f, q[2] += 0.8f * k * 0.5f;
        q[3] = std::min(1.f, q[3] + 0.3f * k);
    }
    paintOver(img, chev, rgb8(255, 120, 230));
    Mask ledHalo = softened(leds, 3.f);
    for (size_t i = 0; i < ledHalo.v.size(); ++i) {
        float k = std::min(1.f, ledHalo.v[i] * 1.8f);
        float* q = &img.p[i * 4];
        q[0] += 0.2f * k, q[1] += 0.9f * k, q[2] += 1.f * k;
        q[3] = std::min(1.f, q[3] + 0.3f * k);
    }
    paintOver(img, leds, rgb8(210, 250, 255));

    // A thin dim chrome line near the screen edge finishes the glass.
    for (int x = 0; x < W; ++x) {
        img.over(x, H - 6, rgb8(110, 120, 170), 0.9f);
        img.over(x, H - 5, rgb8(30, 32, 60), 0.95f);
    }
    return img;
}

Image vuBar() {
    constexpr int W = 256, H = 32, segments = 16, pitch = W / segments;
    Image img(W, H, rgb8(6, 6, 12));
    // Bezel rails along both long edges.
    for (int x = 0; x < W; ++x) {
        const Col rail[4] = {rgb8(60, 64, 90), rgb8(190, 200, 230), rgb8(90, 96, 130), rgb8(20, 20, 34)};
        for (int y = 0; y < 4; ++y) {
            img.set(x, y, rail[y]);
            img.set(x, H - 1 - y, rail[y] * 0.8f);
        }
    }
    Mask lit(W, H);
    std::vector<Col> hue(segments);
    for (int i = 0; i < segments; ++i) {
        float t = (i + 0.5f) / segments;
        hue[i] = ramp({{0.f, rgb8(30, 230, 70)},
                       {0.55f, rgb8(160, 255, 40)},
                       {0.7f, rgb8(255, 225, 30)},
                       {0.84f, rgb8(255, 130, 20)},
                       {1.f, rgb8(255, 30, 30)}},
                      t);
    }
    for (int i = 0; i < segments; ++i) {
        Mask led(W, H);
        float x0 = i * pitch + 2.f, x1 = (i + 1) * pitch - 1.f;
        fillRoundRect(led, x0, 7.f, x1, H - 7.f, 2.f);
        glow(img, led, hue[i], 3.f, 0.55f);
        paintOverFn(img, led, [&](int, int y) {
            float t = (y - 7.f) / (H - 14.f);
            // Glassy cap: bright upper half, deeper colour below.
            Col c = hue[i] * (1.05f - 0.35f * t);
            return c + Col{1.f, 1.f, 1.f} * (0.45f * smoothstep(0.45f, 0.1f, t));
        });
    }
    return img;
}

}  // namespace cards

// Height field, lava, the two chrome environments and the star sprite.
#include "pictures.hpp"

#include <functional>

namespace q9tex {

namespace {

constexpr float kPi = 3.14159265358979f;

struct V3 {
    float x, y, z;
};
V3 normalize(V3 v) {
    float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}
float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Filmic-style shoulder so hot lights saturate towards white instead of clipping flat.
Rgb toneMap(Rgb c) {
    auto f = [](float v) { return 1.f - std::exp(-std::max(v, 0.f) * 1.25f); };
    return {f(c.r), f(c.g), f(c.b)};
}

// Renders what a mirror ball shows of env(direction): y up, +z towards the viewer.
// OpenGL's sphere map puts t = 0 at downward reflections and the show's loader puts
// the top image row at t = 0, so the result is stored floor side up.
Image renderSphereMap(int size, const std::function<Rgb(V3)>& env) {
    Image img(size, size);
    const int ss = 3;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            Rgb acc;
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    float u = (float(px) + (float(sx) + 0.5f) / ss) / float(size) * 2.f - 1.f;
                    float v = 1.f - (float(py) + (float(sy) + 0.5f) / ss) / float(size) * 2.f;
                    float r = std::sqrt(u * u + v * v);
                    // Outside the disc repeat the rim so filtering never pulls in a seam.
                    if (r > 0.998f) {
                        u *= 0.998f / r;
                        v *= 0.998f / r;
                        r = 0.998f;
                    }
                    float nz = std::sqrt(std::max(0.f, 1.f - r * r));
                    V3 refl{2.f * nz * u, 2.f * nz * v, 2.f * nz * nz - 1.f};
                    acc += env(normalize(refl));
                }
            img.at(px, py) = acc * (1.f / float(ss * ss));
        }
    img.flipVertical();
    return img;
}

// Soft-edged rectangle on a plane hit by the ray; returns 0..1 coverage with a hot centre.
float softbox(float a, float b, float a0, float a1, float b0, float b1, float edge) {
    float m = smoothstep(a0 - edge, a0 + edge, a) * (1.f - smoothstep(a1 - edge, a1 + edge, a)) *
              smoothstep(b0 - edge, b0 + edge, b) * (1.f - smoothstep(b1 - edge, b1 + edge, b));
    float ca = (a - 0.5f * (a0 + a1)) / (0.5f * (a1 - a0));
    float cb = (b - 0.5f * (b0 + b1)) / (0.5f * (b1 - b0));
    float hot = 1.f - 0.35f * std::min(1.f, ca * ca + cb * cb);
    return m * hot;
}

float azimuth(V3 d) { return std::atan2(d.x, -d.z); }

}  // namespace

Image makeBumpmap() {
    const int n = 512;
    Image img(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = float(x) / float(n), v = float(y) / float(n);
            // Domain warp keeps the scales from looking like a grid.
            float wx = 0.35f * fbm(u * 4.f, v * 4.f, 3, 4, 11u);
            float wy = 0.35f * fbm(u * 4.f + 5.2f, v * 4.f + 1.3f, 3, 4, 12u);
            Worley big = worley(u * 9.f + wx, v * 9.f + wy, 9, 21u);
            float edge = smoothstep(0.f, 0.22f, big.f2 - big.f1);
            float dome = std::sqrt(clamp01(1.f - big.f1 * big.f1 * 1.6f));
            float tilt = 0.85f + 0.3f * (float(big.cellId & 255u) / 255.f);
            float scales = dome * edge * tilt;

            Worley small = worley(u * 36.f, v * 36.f, 36, 33u);
            float pits = smoothstep(0.05f, 0.45f, small.f1);

            float ripple = 0.5f + 0.5f * std::sin((big.f1 * 9.f + fbm(u * 8.f, v * 8.f, 2, 8, 44u) * 2.f) * kPi);
            float grain = fbm(u * 32.f, v * 32.f, 3, 32, 55u);

            float h = 0.55f * scales + 0.1f * pits * edge + 0.05f * ripple * dome + 0.08f * grain + 0.1f;
            h = clamp01(h);
            img.at(x, y) = {h, h, h};
        }
    return img;
}

Image makeDoom() {
    const int n = 512;
    Image img(n, n);
    const std::vector<Rgb> heat = {hex(0x070000), hex(0x3A0400), hex(0x8E1200), hex(0xE04A05),
                                   hex(0xFF9A1E), hex(0xFFE27A), hex(0xFFFCE8)};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = float(x) / float(n) * 4.f, v = float(y) / float(n) * 4.f;
            float qx = fbm(u, v, 4, 4, 101u), qy = fbm(u + 3.1f, v + 7.7f, 4, 4, 102u);
            float rx = fbm(u + 2.f * qx + 1.7f, v + 2.f * qy + 9.2f, 4, 4, 103u);
            float ry = fbm(u + 2.f * qx + 8.3f, v + 2.f * qy + 2.8f, 4, 4, 104u);
            float flow = fbm(u + 1.6f * rx, v + 1.6f * ry, 5, 4, 105u);

            Worley w = worley(u * 1.6f + 0.9f * rx, v * 1.6f + 0.9f * ry, 0, 106u, 0.9f);
            float crack = 1.f - smoothstep(0.0f, 0.16f, w.f2 - w.f1);
            float crackCore = 1.f - smoothstep(0.0f, 0.045f, w.f2 - w.f1);

            // Crust plates stay dark with a little glow showing through; cracks and pools burn.
            float crust = 0.08f + 0.26f * (0.5f + 0.5f * flow);
            float pools = smoothstep(0.18f, 0.55f, flow + 0.25f * rx);
            float t = crust + 0.55f * pools + 0.45f * crack + 0.35f * crackCore;
            float sparkle = fbm(u * 8.f, v * 8.f, 2, 32, 107u);
            t += 0.06f * sparkle;
            img.at(x, y) = ramp(heat, t * 0.92f);
        }
    return img;
}

Image makeBlue() {
    auto env = [](V3 d) -> Rgb {
        float el = d.y;
        float az = azimuth(d);
        Rgb c;
        if (el > 0.f) {
            // Chrome look: the sky is brightest just above the horizon.
            float t = std::pow(el, 0.5f);
            c = ramp({hex(0xF2FDFF), hex(0x9FE0FF), hex(0x4C9DF5), hex(0x1D4FC4), hex(0x0A2170), hex(0x050F40)}, t);
            // Thin streaks of cloud on a sky plane, thinning out towards the horizon.
            float k = 1.f / std::max(el, 0.02f);
            float cl = fbm(d.x * k * 0.35f, d.z * k * 1.4f, 4, 0, 9u);
            float cloud = smoothstep(0.05f, 0.5f, cl) * smoothstep(0.03f, 0.25f, el);
            c = mix(c, hex(0xCFEFFF), cloud * 0.55f);
            // Distant hills cut a dark silhouette into the bright band.
            float ridge = 0.5f + 0.5f * fbm(az * 1.6f + 4.f, 0.5f, 3, 0, 7u);
            float hills = 0.02f + 0.075f * ridge * ridge;
            float hill = 1.f - smoothstep(hills - 0.004f, hills + 0.004f, el);
            c = mix(c, mix(hex(0x0C1F5C), hex(0x2B5FB8), el / hills), hill);
        } else {
            // ...and darkest just below it, lightening towards the floor under the object.
            float t = std::pow(-el, 0.6f);
            c = ramp({hex(0x030720), hex(0x0A1A58), hex(0x173A9A), hex(0x2E64C8), hex(0x4A86E0)}, t);
            float k = 1.f / std::max(-el, 1e-3f);
            float gx = d.x * k * 1.1f, gz = d.z * k * 1.1f;
            float lx = std::abs(gx - std::round(gx)), lz = std::abs(gz - std::round(gz));
            float line = std::max(1.f - smoothstep(0.015f, 0.05f, lx), 1.f - smoothstep(0.015f, 0.05f, lz));
            float fadeOut = std::exp(-k * 0.12f);
            c = c + hex(0x4FD2FF) * (line * fadeOut * 0.9f);
        }
        c += hex(0xFFFFFF) * (1.2f * std::exp(-std::abs(el) * 60.f));
        // Studio lights: a key box behind the viewer, a strip on the right, one overhead.
        if (d.z > 0.05f) {
            float k = 2.f / d.z;
            c += hex(0xF4FBFF) * (3.f * softbox(d.x * k, d.y * k, -2.2f, -0.5f, 0.45f, 2.2f, 0.05f));
        }
        if (d.x > 0.05f) {
            float k = 2.f / d.x;
            c += hex(0xE8F6FF) * (2.4f * softbox(d.z * k, d.y * k, -0.5f, 0.3f, -0.2f, 2.6f, 0.04f));
        }
        if (d.x < -0.05f) {
            float k = -2.f / d.x;
            c += hex(0xBFE4FF) * (1.4f * softbox(d.z * k, d.y * k, -1.8f, -1.3f, 0.1f, 1.8f, 0.04f));
        }
        V3 sun = normalize({0.45f, 0.55f, -0.7f});
        float s = std::max(0.f, dot(d, sun));
        c += hex(0xFFFFFF) * (4.f * std::pow(s, 1500.f) + 0.4f * std::pow(s, 50.f));
        c = c * hex(0xDDEAFF);
        return toneMap(c * 1.5f);
    };
    return renderSphereMap(512, env);
}

Image makeDoor() {
    auto env = [](V3 d) -> Rgb {
        float el = d.y;
        Rgb c;
        if (el > 0.f) {
            float t = std::pow(el, 0.6f);
            c = ramp({hex(0xFFB347), hex(0xB5561A), hex(0x5A2208), hex(0x240C03)}, t);
            // Coffered ceiling beams.
            float k = 1.f / std::max(el, 1e-3f);
            float bx = std::abs(std::fmod(std::abs(d.x * k * 0.8f), 1.f) - 0.5f);
            float bz = std::abs(std::fmod(std::abs(d.z * k * 0.8f), 1.f) - 0.5f);
            float beam = std::max(smoothstep(0.40f, 0.46f, bx), smoothstep(0.40f, 0.46f, bz));
            c = mix(c, c * 0.45f, beam * std::exp(-k * 0.25f));
        } else {
            float t = std::pow(-el, 0.5f);
            c = ramp({hex(0xE0852A), hex(0x7A3A0E), hex(0x2E1205), hex(0x120602)}, t);
            // Polished checker floor.
            float k = 1.f / std::max(-el, 1e-3f);
            float fx = d.x * k * 0.9f, fz = d.z * k * 0.9f;
            int chk = (int(std::floor(fx)) + int(std::floor(fz))) & 1;
            float fadeOut = std::exp(-k * 0.22f);
            c = mix(c, c * (chk ? 1.7f : 0.6f), fadeOut);
        }
        c += hex(0xFFD27A) * (1.4f * std::exp(-std::abs(el) * 18.f));
        // The doorway behind the viewer: four warm panes with dark mullions.
        // The cube's faces mirror it whole, and the glow doubles it, so it
        // stays below white to keep its gold and its frame readable.
        if (d.z > 0.05f) {
            float k = 2.f / d.z;
            float px = d.x * k, py = d.y * k;
            float door = softbox(px, py, -0.75f, 0.75f, -1.6f, 1.4f, 0.03f);
            float mullion = 1.f - smoothstep(0.05f, 0.10f, std::abs(px));
            float transom = 1.f - smoothstep(0.05f, 0.10f, std::abs(py - 0.35f));
            float glowIn = 0.55f + 0.45f * std::exp(-(px * px + (py - 0.35f) * (py - 0.35f)) * 1.5f);
            door *= (1.f - 0.9f * std::max(mullion, transom)) * glowIn;
            c = mix(c, hex(0xE8A040) * 0.55f + hex(0xFFE0A0) * (0.35f * glowIn), door);
        }
        // Warm lamps around the room; very hot so the glow pass blooms on them.
        for (int i = 0; i < 6; ++i) {
            float a = float(i) / 6.f * 2.f * kPi + 0.4f;
            V3 lamp = normalize({std::sin(a), 0.32f + 0.12f * float(i % 2), -std::cos(a)});
            float s = std::max(0.f, dot(d, lamp));
            c += hex(0xFFD890) * (5.f * std::pow(s, 1600.f) + 0.5f * std::pow(s, 60.f));
        }
        // A strip light overhead, off-centre, for a long specular streak.
        if (d.y > 0.05f) {
            float k = 2.f / d.y;
            c += hex(0xFFE9B0) * (2.2f * softbox(d.x * k, d.z * k, 0.6f, 1.1f, -2.5f, 1.5f, 0.04f));
        }
        c = c * hex(0xFFD58A);
        return toneMap(c * 1.6f);
    };
    return renderSphereMap(512, env);
}

Image makeStar() {
    const int n = 64;
    Image img(n, n);
    const float c = 31.5f;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float dx = float(x) - c, dy = float(y) - c;
            float d = std::sqrt(dx * dx + dy * dy);
            float core = std::exp(-(d * d) / (2.f * 3.2f * 3.2f));
            float halo = 0.55f * std::exp(-d / 7.5f);
            float flare = 0.32f * (std::exp(-dy * dy / 1.1f) * std::exp(-std::abs(dx) / 11.f) +
                                   std::exp(-dx * dx / 1.1f) * std::exp(-std::abs(dy) / 11.f));
            // Fade to exact black before the edge so repeat-wrapped mipmaps stay clean.
            float window = 1.f - smoothstep(24.f, 31.f, d);
            float fw = 1.f - smoothstep(26.f, 31.5f, std::max(std::abs(dx), std::abs(dy)));
            Rgb col = hex(0xFFFFFF) * core + hex(0x7FA8FF) * (halo * window) + hex(0xBFD8FF) * (flare * fw);
            img.at(x, y) = toneMap(col * 1.9f);
        }
    return img;
}

}  // namespace q9tex

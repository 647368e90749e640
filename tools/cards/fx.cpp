#include "fx.hpp"

namespace cards {

std::vector<Stop> envChrome() {
    return {{0.00f, rgb8(10, 16, 80)},     {0.20f, rgb8(40, 90, 210)},  {0.38f, rgb8(150, 200, 255)},
            {0.485f, rgb8(255, 255, 255)}, {0.505f, rgb8(16, 4, 34)},   {0.60f, rgb8(90, 20, 120)},
            {0.80f, rgb8(230, 90, 210)},   {1.00f, rgb8(255, 225, 250)}};
}

std::vector<Stop> envGold() {
    return {{0.00f, rgb8(70, 30, 6)},     {0.25f, rgb8(200, 120, 30)}, {0.45f, rgb8(255, 236, 150)},
            {0.50f, rgb8(255, 255, 230)}, {0.52f, rgb8(90, 40, 8)},    {0.75f, rgb8(210, 130, 40)},
            {1.00f, rgb8(255, 220, 120)}};
}

std::vector<Stop> envIce() {
    return {{0.00f, rgb8(10, 40, 70)},    {0.30f, rgb8(40, 150, 210)}, {0.48f, rgb8(220, 250, 255)},
            {0.50f, rgb8(255, 255, 255)}, {0.52f, rgb8(10, 30, 60)},   {0.75f, rgb8(40, 120, 170)},
            {1.00f, rgb8(200, 240, 255)}};
}

void chrome(Image& img, const Mask& full, const ChromeStyle& st) {
    // Work on the lettering's own rectangle; the rest of the frame is untouched.
    Rect box = bounds(full, 4);
    if (box.empty()) return;
    Mask cover = crop(full, box);
    Mask din = distanceInside(cover);
    Mask hgt(cover.w, cover.h);
    for (size_t i = 0; i < hgt.v.size(); ++i) {
        if (cover.v[i] <= 0.f) continue;
        // Sub-pixel edge position from the coverage keeps the bevel round.
        float d = din.v[i] + cover.v[i] - 0.5f;
        float t = clamp01(d / st.bevel);
        hgt.v[i] = st.bevel * (1.f - (1.f - t) * (1.f - t));
    }
    blur(hgt, 1.3f);
    const float lx = -0.45f, ly = -0.62f, lz = 0.64f;
    const float span = std::max(1.f, st.bottom - st.top);
    for (int y = 0; y < cover.h; ++y)
        for (int x = 0; x < cover.w; ++x) {
            float a = cover.at(x, y);
            if (a <= 0.f) continue;
            float gx = (hgt.get(x + 1, y) - hgt.get(x - 1, y)) * 0.5f;
            float gy = (hgt.get(x, y + 1) - hgt.get(x, y - 1)) * 0.5f;
            float nx = -gx, ny = -gy, nz = 1.f;
            float inv = 1.f / std::sqrt(nx * nx + ny * ny + nz * nz);
            nx *= inv, ny *= inv, nz *= inv;
            float rx = 2.f * nz * nx, ry = 2.f * nz * ny, rz = 2.f * nz * nz - 1.f;
            float u = (y + box.y0 + 0.5f - st.top) / span;
            float e = clamp01(0.08f + u * 0.8f - ry * 0.55f);
            Col c = ramp(st.env, e);
            // Faces turned left catch a little extra sky.
            c = c * (1.f + 0.18f * (-rx));
            float sp = std::max(0.f, rx * lx + ry * ly + rz * lz);
            sp = std::pow(sp, 28.f) * st.shine;
            c = c + Col{1.f, 1.f, 1.f} * sp;
            float d = din.at(x, y) + a - 0.5f;
            if (d < 1.6f) c = c * (1.f - st.rim * (1.f - d / 1.6f));
            img.over(x + box.x0, y + box.y0, c, a);
        }
}

Mask grow(const Mask& full, float r) {
    Rect box = bounds(full, int(std::ceil(r)) + 2);
    Mask g(full.w, full.h);
    if (box.empty()) return g;
    Mask m = crop(full, box);
    Mask dout = distanceOutside(m);
    for (size_t i = 0; i < m.v.size(); ++i) m.v[i] = std::max(m.v[i], clamp01(r + 0.5f - dout.v[i]));
    paste(g, m, box);
    return g;
}

Mask ring(const Mask& m, float r) {
    Mask g = grow(m, r);
    for (size_t i = 0; i < g.v.size(); ++i) g.v[i] = clamp01(g.v[i] - m.v[i]);
    return g;
}

Mask softened(const Mask& full, float sigma) {
    Rect box = bounds(full, int(std::ceil(sigma * 3.5f)) + 2);
    Mask out(full.w, full.h);
    if (box.empty()) return out;
    Mask m = crop(full, box);
    blur(m, sigma);
    paste(out, m, box);
    return out;
}

void glow(Image& img, const Mask& full, Col c, float sigma, float k) {
    Rect box = bounds(full, int(std::ceil(sigma * 3.5f)) + 2);
    if (box.empty()) return;
    Mask m = crop(full, box);
    blur(m, sigma);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float a = m.at(x, y) * k;
            if (a != 0.f) img.add(x + box.x0, y + box.y0, c * a);
        }
}

void verticalGradient(Image& img, const std::vector<Stop>& stops) {
    for (int y = 0; y < img.h; ++y) {
        Col c = ramp(stops, (y + 0.5f) / img.h);
        for (int x = 0; x < img.w; ++x) img.set(x, y, c);
    }
}

void starfield(Image& img, uint64_t seed, int count, float yMax, float brightness) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        float x = rng.range(0.f, float(img.w)), y = rng.range(0.f, yMax);
        float b = std::pow(rng.uniform(), 5.f);
        float hue = rng.uniform();
        Col tint = hue < 0.5f ? Col{0.75f, 0.85f, 1.f} : (hue < 0.8f ? Col{1.f, 1.f, 1.f} : Col{1.f, 0.75f, 0.95f});
        float k = (0.15f + 1.6f * b) * brightness;
        // Bilinear splat so faint stars stay round at sub-pixel positions.
        int ix = int(std::floor(x - 0.5f)), iy = int(std::floor(y - 0.5f));
        float fx = x - 0.5f - ix, fy = y - 0.5f - iy;
        float w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
        for (int j = 0; j < 4; ++j) {
            int px = ix + (j & 1), py = iy + (j >> 1);
            if (px >= 0 && py >= 0 && px < img.w && py < img.h) img.add(px, py, tint * (k * w[j]));
        }
        if (b > 0.55f) sparkle(img, x, y, 6.f + 20.f * b, tint, 0.35f * brightness * b);
    }
}

void floorGrid(Image& img, float horizon, float spacing, Col c, float strength, uint32_t seed) {
    // Camera one unit above the floor with a focal length of F pixels:
    // a row d pixels under the horizon lies at depth F / d.
    const float F = 500.f, cx = img.w * 0.5f;
    const float zSpacing = spacing * 4.f, zShift = hash2(1, 2, seed) * zSpacing;
    Mask lines(img.w, img.h);
    for (int y = int(horizon) + 1; y < img.h; ++y) {
        float d = y + 0.5f - horizon;
        float z = F / d, footZ = F / (d * d);
        float zz = (z + zShift) / zSpacing;
        float distZ = std::abs(zz - std::round(zz)) * zSpacing / footZ;  // in pixels
        float fadeZ = smoothstep(2.f, 7.f, zSpacing / footZ);
        float rowLine = clamp01(1.2f - distZ) * fadeZ;
        float footX = 1.f / d;
        float fadeX = smoothstep(2.5f, 9.f, spacing / footX);
        float fog = smoothstep(0.f, 60.f, d);
        for (int x = 0; x < img.w; ++x) {
            float xw = (x + 0.5f - cx) / d;
            float xx = xw / spacing;
            float distX = std::abs(xx - std::round(xx)) * spacing / footX;
            float colLine = clamp01(1.1f - distX) * fadeX;
            lines.at(x, y) = std::max(rowLine, colLine) * (0.35f + 0.65f * fog);
        }
    }
    paintAdd(img, lines, c, strength);
    glow(img, lines, c, 3.f, strength * 1.6f);
}

void lightRays(Image& img, float cx, float cy, Col c, float strength, float reach, uint32_t seed) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float r = std::sqrt(dx * dx + dy * dy) + 1e-3f;
            float ax = dx / r, ay = dy / r;
            float n = fbm(ax * 5.f + 20.f, ay * 5.f + 20.f, 3, seed);
            float ray = smoothstep(0.45f, 0.8f, n);
            float k = ray * ray * std::exp(-r / reach) * strength;
            img.add(x, y, c * k);
        }
}

Mask glassPanel(Image& img, float x0, float y0, float x1, float y1, float radius, Col tint, float opacity, Col edge,
                float edgeK) {
    Mask m(img.w, img.h);
    fillRoundRect(m, x0, y0, x1, y1, radius);
    Mask inner(img.w, img.h);
    fillRoundRect(inner, x0 + 1.4f, y0 + 1.4f, x1 - 1.4f, y1 - 1.4f, std::max(0.f, radius - 1.4f));
    paintOverFn(
        img, m,
        [&](int, int y) {
            float t = clamp01((y - y0) / std::max(1.f, y1 - y0));
            return tint * (1.25f - 0.45f * t);
        },
        opacity);
    Mask e(img.w, img.h);
    for (size_t i = 0; i < e.v.size(); ++i) {
        float edgeCov = clamp01(m.v[i] - inner.v[i]);
        if (edgeCov <= 0.f) continue;
        int y = int(i / img.w);
        float t = clamp01((y - y0) / std::max(1.f, y1 - y0));
        e.v[i] = edgeCov * (1.f - 0.7f * t);
    }
    paintAdd(img, e, edge, edgeK);
    return m;
}

void fadeLine(Image& img, float x0, float x1, float y, float hw, Col c, float k) {
    Mask m(img.w, img.h);
    strokeLine(m, x0, y, x1, y, hw);
    for (int yy = 0; yy < img.h; ++yy)
        for (int x = 0; x < img.w; ++x) {
            float t = (x + 0.5f - x0) / std::max(1.f, x1 - x0);
            m.at(x, yy) *= std::sin(clamp01(t) * 3.14159265f);
        }
    paintAdd(img, m, c, k);
    glow(img, m, c, 3.f, k * 0.8f);
}

}  // namespace cards

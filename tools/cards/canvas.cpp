#include "canvas.hpp"

#include <SDL.h>
#include <SDL_image.h>

#include <limits>

namespace cards {

Col ramp(const std::vector<Stop>& stops, float t) {
    if (t <= stops.front().at) return stops.front().c;
    for (size_t i = 1; i < stops.size(); ++i)
        if (t <= stops[i].at) {
            float span = stops[i].at - stops[i - 1].at;
            float k = span > 0.f ? (t - stops[i - 1].at) / span : 1.f;
            return mix(stops[i - 1].c, stops[i].c, k);
        }
    return stops.back().c;
}

float Mask::sample(float x, float y) const {
    x -= 0.5f, y -= 0.5f;
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - x0, fy = y - y0;
    float a = lerp(get(x0, y0), get(x0 + 1, y0), fx);
    float b = lerp(get(x0, y0 + 1), get(x0 + 1, y0 + 1), fx);
    return lerp(a, b, fy);
}

Image::Image(int width, int height, Col fill, float alpha) : w(width), h(height), p(size_t(width) * height * 4) {
    for (size_t i = 0; i < p.size(); i += 4) p[i] = fill.r, p[i + 1] = fill.g, p[i + 2] = fill.b, p[i + 3] = alpha;
}

void Image::over(int x, int y, Col c, float a) {
    float* q = px(x, y);
    float outA = a + q[3] * (1.f - a);
    if (outA <= 0.f) return;
    float keep = q[3] * (1.f - a);
    q[0] = (c.r * a + q[0] * keep) / outA;
    q[1] = (c.g * a + q[1] * keep) / outA;
    q[2] = (c.b * a + q[2] * keep) / outA;
    q[3] = outA;
}

uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

float hash2(int x, int y, uint32_t seed) {
    uint32_t h = hash32(uint32_t(x) * 0x9E3779B1u ^ hash32(uint32_t(y) * 0x85EBCA77u + seed * 0xC2B2AE3Du));
    return float(h >> 8) * (1.f / 16777216.f);
}

float valueNoise(float x, float y, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.f - 2.f * tx);
    ty = ty * ty * (3.f - 2.f * ty);
    float a = lerp(hash2(ix, iy, seed), hash2(ix + 1, iy, seed), tx);
    float b = lerp(hash2(ix, iy + 1, seed), hash2(ix + 1, iy + 1, seed), tx);
    return lerp(a, b, ty);
}

float fbm(float x, float y, int octaves, uint32_t seed, float gain) {
    float sum = 0.f, amp = 1.f, norm = 0.f;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(x, y, seed + uint32_t(o) * 101u) * amp;
        norm += amp;
        amp *= gain;
        // Rotate between octaves so the lattice does not line up.
        float nx = x * 1.6f - y * 1.2f, ny = x * 1.2f + y * 1.6f;
        x = nx + 17.3f, y = ny + 9.1f;
    }
    return sum / norm;
}

namespace {

// One box pass of radius r along a line of n samples with the given stride.
void boxLine(float* d, int n, int stride, int r, std::vector<double>& tmp) {
    tmp.assign(size_t(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) tmp[i + 1] = tmp[i] + d[size_t(i) * stride];
    double inv = 1.0 / (2 * r + 1);
    for (int i = 0; i < n; ++i) {
        int a = std::max(0, i - r), b = std::min(n, i + r + 1);
        d[size_t(i) * stride] = float((tmp[b] - tmp[a]) * inv);
    }
}

// Squared 1D distance transform (Felzenszwalb and Huttenlocher).
void edt1d(const double* f, double* out, int n, std::vector<int>& v, std::vector<double>& z) {
    v.resize(n);
    z.resize(size_t(n) + 1);
    int k = 0;
    v[0] = 0;
    z[0] = -std::numeric_limits<double>::infinity();
    z[1] = std::numeric_limits<double>::infinity();
    auto cut = [&](int q, int p) { return ((f[q] + double(q) * q) - (f[p] + double(p) * p)) / (2.0 * (q - p)); };
    for (int q = 1; q < n; ++q) {
        double s = cut(q, v[k]);
        while (s <= z[k]) {
            --k;
            s = cut(q, v[k]);
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = std::numeric_limits<double>::infinity();
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < q) ++k;
        double dq = q - v[k];
        out[q] = dq * dq + f[v[k]];
    }
}

Mask distanceTo(const Mask& m, bool toOutside) {
    // Larger than any squared distance inside the picture, small enough to stay exact.
    const double big = 4.0 * (double(m.w) * m.w + double(m.h) * m.h) + 1.0;
    std::vector<double> d(m.v.size());
    for (size_t i = 0; i < m.v.size(); ++i) {
        bool inside = m.v[i] >= 0.5f;
        d[i] = (inside == toOutside) ? big : 0.0;
    }
    std::vector<int> v;
    int n = std::max(m.w, m.h);
    std::vector<double> z, col(n), out(n);
    for (int x = 0; x < m.w; ++x) {
        for (int y = 0; y < m.h; ++y) col[y] = d[size_t(y) * m.w + x];
        edt1d(col.data(), out.data(), m.h, v, z);
        for (int y = 0; y < m.h; ++y) d[size_t(y) * m.w + x] = out[y];
    }
    Mask r(m.w, m.h);
    for (int y = 0; y < m.h; ++y) {
        edt1d(&d[size_t(y) * m.w], out.data(), m.w, v, z);
        for (int x = 0; x < m.w; ++x) r.at(x, y) = float(std::sqrt(std::min(out[x], big)));
    }
    return r;
}

// Shared scan for the SDF shapes: coverage = clamp(0.5 - sdf).
template <class Sdf>
void fillSdf(Mask& m, float x0, float y0, float x1, float y1, Sdf sdf) {
    int ax = std::max(0, int(std::floor(x0)) - 2), ay = std::max(0, int(std::floor(y0)) - 2);
    int bx = std::min(m.w - 1, int(std::ceil(x1)) + 2), by = std::min(m.h - 1, int(std::ceil(y1)) + 2);
    for (int y = ay; y <= by; ++y)
        for (int x = ax; x <= bx; ++x) {
            float c = clamp01(0.5f - sdf(x + 0.5f, y + 0.5f));
            if (c > m.at(x, y)) m.at(x, y) = c;
        }
}

float softClip(float v) {
    const float knee = 0.82f;
    if (v <= knee) return v;
    return knee + (1.f - knee) * (1.f - std::exp(-(v - knee) / (1.f - knee)));
}

// Over-bright colour spills into the other channels so hot glows go white.
void toBytes(const Image& img, bool withAlpha, std::vector<uint8_t>& out) {
    int ch = withAlpha ? 4 : 3;
    out.resize(size_t(img.w) * img.h * ch);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const float* q = img.px(x, y);
            float c[3] = {std::max(q[0], 0.f), std::max(q[1], 0.f), std::max(q[2], 0.f)};
            float peak = std::max({c[0], c[1], c[2]});
            if (peak > 1.f) {
                float spill = (peak - 1.f) * 0.55f;
                for (float& v : c) v += spill;
            }
            uint8_t* o = &out[(size_t(y) * img.w + x) * ch];
            for (int i = 0; i < 3; ++i) {
                float d = hash2(x, y, 7u + uint32_t(i));
                o[i] = uint8_t(std::clamp(int(std::floor(softClip(c[i]) * 255.f + d)), 0, 255));
            }
            if (withAlpha) o[3] = uint8_t(std::clamp(int(std::lround(q[3] * 255.f)), 0, 255));
        }
}

}  // namespace

void blur(Mask& m, float sigma) {
    if (sigma <= 0.f) return;
    // Three boxes of width w approximate a gaussian with variance 3(w^2-1)/12.
    int r = std::max(1, int(std::lround((std::sqrt(4.f * sigma * sigma + 1.f) - 1.f) / 2.f)));
    std::vector<double> tmp;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < m.h; ++y) boxLine(&m.at(0, y), m.w, 1, r, tmp);
        for (int x = 0; x < m.w; ++x) boxLine(&m.at(x, 0), m.h, m.w, r, tmp);
    }
}

Mask blurred(const Mask& m, float sigma) {
    Mask b = m;
    blur(b, sigma);
    return b;
}

Mask distanceInside(const Mask& m) { return distanceTo(m, true); }
Mask distanceOutside(const Mask& m) { return distanceTo(m, false); }

Mask shifted(const Mask& m, int dx, int dy) {
    Mask s(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) s.at(x, y) = m.get(x - dx, y - dy);
    return s;
}

Rect bounds(const Mask& m, int margin) {
    Rect r{m.w, m.h, 0, 0};
    for (int y = 0; y < m.h; ++y) {
        const float* row = &m.v[size_t(y) * m.w];
        int first = -1, last = -1;
        for (int x = 0; x < m.w; ++x)
            if (row[x] != 0.f) {
                if (first < 0) first = x;
                last = x;
            }
        if (first < 0) continue;
        r.x0 = std::min(r.x0, first), r.x1 = std::max(r.x1, last + 1);
        r.y0 = std::min(r.y0, y), r.y1 = std::max(r.y1, y + 1);
    }
    if (r.empty()) return Rect{};
    return Rect{std::max(0, r.x0 - margin), std::max(0, r.y0 - margin), std::min(m.w, r.x1 + margin),
                std::min(m.h, r.y1 + margin)};
}

Mask crop(const Mask& m, Rect r) {
    Mask c(r.x1 - r.x0, r.y1 - r.y0);
    for (int y = r.y0; y < r.y1; ++y)
        std::copy_n(&m.v[size_t(y) * m.w + r.x0], c.w, &c.v[size_t(y - r.y0) * c.w]);
    return c;
}

void paste(Mask& dst, const Mask& part, Rect r) {
    for (int y = r.y0; y < r.y1; ++y)
        std::copy_n(&part.v[size_t(y - r.y0) * part.w], part.w, &dst.v[size_t(y) * dst.w + r.x0]);
}

void fillCircle(Mask& m, float cx, float cy, float r) {
    fillSdf(m, cx - r, cy - r, cx + r, cy + r, [&](float x, float y) { return std::hypot(x - cx, y - cy) - r; });
}

void strokeLine(Mask& m, float x0, float y0, float x1, float y1, float hw) {
    float dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-6f);
    fillSdf(m, std::min(x0, x1) - hw, std::min(y0, y1) - hw, std::max(x0, x1) + hw, std::max(y0, y1) + hw,
            [&](float x, float y) {
                float t = clamp01(((x - x0) * dx + (y - y0) * dy) / len2);
                return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - hw;
            });
}

void fillRoundRect(Mask& m, float x0, float y0, float x1, float y1, float rad) {
    float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f, hx = (x1 - x0) * 0.5f - rad, hy = (y1 - y0) * 0.5f - rad;
    fillSdf(m, x0, y0, x1, y1, [&](float x, float y) {
        float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
        float ox = std::max(qx, 0.f), oy = std::max(qy, 0.f);
        return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.f) - rad;
    });
}

void paintOver(Image& img, const Mask& m, Col c, float opacity) {
    for (size_t i = 0; i < m.v.size(); ++i) {
        float a = m.v[i] * opacity;
        if (a > 0.f) img.over(int(i % m.w), int(i / m.w), c, a);
    }
}

void paintAdd(Image& img, const Mask& m, Col c, float k) {
    for (size_t i = 0; i < m.v.size(); ++i) {
        float a = m.v[i] * k;
        if (a != 0.f) {
            float* q = &img.p[i * 4];
            q[0] += c.r * a, q[1] += c.g * a, q[2] += c.b * a;
        }
    }
}

void darken(Image& img, const Mask& m, float k) {
    for (size_t i = 0; i < m.v.size(); ++i) {
        float f = 1.f - clamp01(m.v[i] * k);
        float* q = &img.p[i * 4];
        q[0] *= f, q[1] *= f, q[2] *= f;
    }
}

void sparkle(Image& img, float cx, float cy, float size, Col c, float strength) {
    int r = int(std::ceil(size * 1.2f));
    int x0 = std::max(0, int(cx) - r), x1 = std::min(img.w - 1, int(cx) + r);
    int y0 = std::max(0, int(cy) - r), y1 = std::min(img.h - 1, int(cy) + r);
    float core = size * 0.08f;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float d2 = dx * dx + dy * dy;
            float glow = std::exp(-d2 / (2.f * core * core)) + 0.35f * std::exp(-d2 / (2.f * 9.f * core * core));
            float fall = std::max(0.f, 1.f - std::sqrt(d2) / size);
            float streak = (std::exp(-dy * dy / 1.2f) * fall * fall + std::exp(-dx * dx / 1.2f) * fall * fall) * 0.8f;
            float k = (glow + streak) * strength;
            if (k > 1e-4f) img.add(x, y, c * k);
        }
}

namespace {

SDL_Surface* makeSurface(const Image& img, bool withAlpha, std::vector<uint8_t>& bytes) {
    toBytes(img, withAlpha, bytes);
    int ch = withAlpha ? 4 : 3;
    return SDL_CreateRGBSurfaceWithFormatFrom(bytes.data(), img.w, img.h, ch * 8, img.w * ch,
                                              withAlpha ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24);
}

}  // namespace

bool saveJpg(const Image& img, const std::string& path, int quality) {
    std::vector<uint8_t> bytes;
    SDL_Surface* s = makeSurface(img, false, bytes);
    if (!s) return false;
    bool ok = IMG_SaveJPG(s, path.c_str(), quality) == 0;
    SDL_FreeSurface(s);
    return ok;
}

bool savePng(const Image& img, const std::string& path, bool withAlpha) {
    std::vector<uint8_t> bytes;
    SDL_Surface* s = makeSurface(img, withAlpha, bytes);
    if (!s) return false;
    bool ok = IMG_SavePNG(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

}  // namespace cards

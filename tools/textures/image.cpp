#include "image.hpp"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>

namespace q9tex {

Rgb ramp(const std::vector<Rgb>& keys, float t) {
    if (keys.empty()) return {};
    if (keys.size() == 1) return keys[0];
    float p = clamp01(t) * float(keys.size() - 1);
    size_t i = std::min(size_t(p), keys.size() - 2);
    return mix(keys[i], keys[i + 1], p - float(i));
}

void Image::flipVertical() {
    for (int y = 0; y < h_ / 2; ++y)
        for (int x = 0; x < w_; ++x) std::swap(at(x, y), at(x, h_ - 1 - y));
}

std::vector<uint8_t> toBytes(const Image& img) {
    std::vector<uint8_t> out(size_t(img.width()) * size_t(img.height()) * 3);
    size_t o = 0;
    auto q = [](float v) { return uint8_t(std::lround(clamp01(v) * 255.f)); };
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const Rgb& c = img.at(x, y);
            out[o++] = q(c.r);
            out[o++] = q(c.g);
            out[o++] = q(c.b);
        }
    return out;
}

bool savePicture(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb) {
    if (w <= 0 || h <= 0 || rgb.size() != size_t(w) * size_t(h) * 3) return false;
    // The surface only borrows the pixels; the encoder reads them through it.
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgb.data()), w, h, 24, w * 3,
                                                        SDL_PIXELFORMAT_RGB24);
    if (!s) {
        std::fprintf(stderr, "q9_gen_textures: surface for %s: %s\n", path.c_str(), SDL_GetError());
        return false;
    }
    bool png = path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
    int rc = png ? IMG_SavePNG(s, path.c_str()) : IMG_SaveJPG(s, path.c_str(), 93);
    SDL_FreeSurface(s);
    if (rc != 0) {
        std::fprintf(stderr, "q9_gen_textures: writing %s: %s\n", path.c_str(), IMG_GetError());
        return false;
    }
    return true;
}

// ---- noise ----

namespace {
float fade(float t) { return t * t * t * (t * (t * 6.f - 15.f) + 10.f); }

float gradDot(int ix, int iy, float dx, float dy, uint32_t seed) {
    // 16 evenly spread unit gradients.
    float a = float(hash3(ix, iy, seed) & 15u) * (6.28318530718f / 16.f);
    return std::cos(a) * dx + std::sin(a) * dy;
}
}  // namespace

float gradientNoise(float x, float y, int period, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float dx = x - fx, dy = y - fy;
    auto w = [&](int i) { return period > 0 ? wrapIndex(i, period) : i; };
    int x0 = w(ix), x1 = w(ix + 1), y0 = w(iy), y1 = w(iy + 1);
    float n00 = gradDot(x0, y0, dx, dy, seed);
    float n10 = gradDot(x1, y0, dx - 1.f, dy, seed);
    float n01 = gradDot(x0, y1, dx, dy - 1.f, seed);
    float n11 = gradDot(x1, y1, dx - 1.f, dy - 1.f, seed);
    float u = fade(dx), v = fade(dy);
    // Scale so the result roughly spans [-1,1].
    return 1.41f * lerp(lerp(n00, n10, u), lerp(n01, n11, u), v);
}

float fbm(float x, float y, int octaves, int period, uint32_t seed, float gain) {
    float sum = 0.f, amp = 1.f, norm = 0.f;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * gradientNoise(x, y, period, seed + uint32_t(o) * 7919u);
        norm += amp;
        amp *= gain;
        x *= 2.f;
        y *= 2.f;
        if (period > 0) period *= 2;
    }
    return sum / norm;
}

Worley worley(float x, float y, int period, uint32_t seed, float jitter) {
    int cx = int(std::floor(x)), cy = int(std::floor(y));
    Worley r{1e9f, 1e9f, 0u};
    for (int j = -2; j <= 2; ++j)
        for (int i = -2; i <= 2; ++i) {
            int gx = cx + i, gy = cy + j;
            int hx = period > 0 ? wrapIndex(gx, period) : gx;
            int hy = period > 0 ? wrapIndex(gy, period) : gy;
            float px = float(gx) + 0.5f + jitter * (hashUnit(hx, hy, seed) - 0.5f);
            float py = float(gy) + 0.5f + jitter * (hashUnit(hx, hy, seed ^ 0xA5A5A5u) - 0.5f);
            float d = std::hypot(px - x, py - y);
            if (d < r.f1) {
                r.f2 = r.f1;
                r.f1 = d;
                r.cellId = hash3(hx, hy, seed ^ 0x1234567u);
            } else if (d < r.f2) {
                r.f2 = d;
            }
        }
    return r;
}

}  // namespace q9tex

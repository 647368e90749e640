// Float canvases, coverage masks and the small set of 2D operations the
// cards are painted with. Everything is single-threaded and seeded, so the
// same build always paints the same bytes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace cards {

struct Col {
    float r = 0.f, g = 0.f, b = 0.f;
};
inline Col operator+(Col a, Col b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Col operator-(Col a, Col b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Col operator*(Col a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Col operator*(Col a, Col b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Col mix(Col a, Col b, float t) { return a + (b - a) * t; }
inline Col rgb8(int r, int g, int b) { return {r / 255.f, g / 255.f, b / 255.f}; }

inline float clamp01(float v) { return std::clamp(v, 0.f, 1.f); }
inline float lerp(float a, float b, float t) { return a + (b - a) * t; }
inline float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.f - 2.f * t);
}

// Colour ramp through evenly or explicitly spaced stops.
struct Stop {
    float at;
    Col c;
};
Col ramp(const std::vector<Stop>& stops, float t);

// Single-channel coverage or height field, zero outside its bounds.
struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;
    Mask() = default;
    Mask(int width, int height, float fill = 0.f) : w(width), h(height), v(size_t(width) * height, fill) {}
    float& at(int x, int y) { return v[size_t(y) * w + x]; }
    float at(int x, int y) const { return v[size_t(y) * w + x]; }
    float get(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.f : at(x, y); }
    float sample(float x, float y) const;  // bilinear, pixel centres at integer + 0.5
};

// Straight-alpha RGBA in floats; colour may exceed 1 until it is written out.
struct Image {
    int w = 0, h = 0;
    std::vector<float> p;
    Image() = default;
    Image(int width, int height, Col fill = {}, float alpha = 1.f);
    float* px(int x, int y) { return &p[(size_t(y) * w + x) * 4]; }
    const float* px(int x, int y) const { return &p[(size_t(y) * w + x) * 4]; }
    Col rgb(int x, int y) const {
        const float* q = px(x, y);
        return {q[0], q[1], q[2]};
    }
    void set(int x, int y, Col c, float a = 1.f) {
        float* q = px(x, y);
        q[0] = c.r, q[1] = c.g, q[2] = c.b, q[3] = a;
    }
    // Source-over with straight alpha.
    void over(int x, int y, Col c, float a);
    void add(int x, int y, Col c) {
        float* q = px(x, y);
        q[0] += c.r, q[1] += c.g, q[2] += c.b;
    }
};

// Seeded generator (splitmix64); the only randomness the cards use.
class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    uint64_t next() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    float uniform() { return float(next() >> 40) * (1.f / 16777216.f); }
    float range(float a, float b) { return a + (b - a) * uniform(); }
    int below(int n) { return int(next() % uint64_t(n)); }

private:
    uint64_t s_;
};

uint32_t hash32(uint32_t x);
float hash2(int x, int y, uint32_t seed);  // [0, 1)
float valueNoise(float x, float y, uint32_t seed);
float fbm(float x, float y, int octaves, uint32_t seed, float gain = 0.5f);

// Gaussian-like blur from three box passes; outside counts as zero.
void blur(Mask& m, float sigma);
Mask blurred(const Mask& m, float sigma);
// Euclidean distance, in pixels, from each covered pixel (>= 0.5) to the
// nearest uncovered one, and the reverse.
Mask distanceInside(const Mask& m);
Mask distanceOutside(const Mask& m);
Mask shifted(const Mask& m, int dx, int dy);

// Axis-aligned pixel rectangle [x0, x1) x [y0, y1).
struct Rect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};
// Smallest rectangle holding every nonzero value, grown by margin and
// clipped to the mask.
Rect bounds(const Mask& m, int margin);
Mask crop(const Mask& m, Rect r);
// Writes a cropped mask back at its place, replacing what was there.
void paste(Mask& dst, const Mask& part, Rect r);

// Anti-aliased shapes, merged into the mask with max().
void fillCircle(Mask& m, float cx, float cy, float r);
void strokeLine(Mask& m, float x0, float y0, float x1, float y1, float halfWidth);
void fillRoundRect(Mask& m, float x0, float y0, float x1, float y1, float radius);

void paintOver(Image& img, const Mask& m, Col c, float opacity = 1.f);
void paintAdd(Image& img, const Mask& m, Col c, float k = 1.f);
template <class F>
void paintOverFn(Image& img, const Mask& m, F colourAt, float opacity = 1.f) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float a = m.at(x, y) * opacity;
            if (a > 0.f) img.over(x, y, colourAt(x, y), a);
        }
}
// Multiplies colour by (1 - k * mask): darkening for shadows.
void darken(Image& img, const Mask& m, float k);

// Soft 4-point star: bright core plus thin horizontal and vertical streaks.
void sparkle(Image& img, float cx, float cy, float size, Col c, float strength = 1.f);

// Written with a gentle highlight shoulder and hashed dither so dark
// gradients do not band.
bool saveJpg(const Image& img, const std::string& path, int quality = 90);
bool savePng(const Image& img, const std::string& path, bool withAlpha);

}  // namespace cards

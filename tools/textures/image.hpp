// Small image and noise toolkit shared by the texture generators.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace q9tex {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(float s, Rgb a) { return a * s; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb& operator+=(Rgb& a, Rgb b) { a = a + b; return a; }

inline Rgb mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
inline Rgb hex(uint32_t v) {
    return {float((v >> 16) & 255) / 255.f, float((v >> 8) & 255) / 255.f, float(v & 255) / 255.f};
}

inline float clamp01(float v) { return std::clamp(v, 0.f, 1.f); }
inline float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.f - 2.f * t);
}
inline float lerp(float a, float b, float t) { return a + (b - a) * t; }

// Colour ramp through evenly spaced keys; t outside [0,1] clamps.
Rgb ramp(const std::vector<Rgb>& keys, float t);

// Float RGB picture, row 0 at the top.
class Image {
public:
    Image(int w, int h) : w_(w), h_(h), px_(size_t(w) * size_t(h)) {}
    int width() const { return w_; }
    int height() const { return h_; }
    Rgb& at(int x, int y) { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    const Rgb& at(int x, int y) const { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    void fill(Rgb c) { std::fill(px_.begin(), px_.end(), c); }
    void flipVertical();

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

// 8-bit RGB pixels ready for the encoder.
std::vector<uint8_t> toBytes(const Image& img);

// Writes 24-bit RGB; the extension picks JPEG (quality 93) or PNG. Returns false on failure.
bool savePicture(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb);
inline bool savePicture(const std::string& path, const Image& img) {
    return savePicture(path, img.width(), img.height(), toBytes(img));
}

// ---- hashing and noise (all integer-seeded, so every run is identical) ----

inline uint32_t hash3(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u;
    h ^= uint32_t(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= uint32_t(y) * 0xC2B2AE35u;
    h = (h ^ (h >> 13)) * 0x297A2D39u;
    h ^= h >> 16;
    return h;
}
inline float hashUnit(int32_t x, int32_t y, uint32_t seed) {
    return float(hash3(x, y, seed) >> 8) / float(1u << 24);
}

inline int wrapIndex(int i, int period) {
    int m = i % period;
    return m < 0 ? m + period : m;
}

// Gradient noise in [-1,1] that repeats every `period` lattice cells (period <= 0: no wrap).
float gradientNoise(float x, float y, int period, uint32_t seed);

// Fractal sum of gradient noise; the period doubles with each octave, so it still tiles.
float fbm(float x, float y, int octaves, int period, uint32_t seed, float gain = 0.5f);

struct Worley {
    float f1, f2;     // distances to the nearest and second nearest feature point
    uint32_t cellId;  // identity of the nearest cell, for per-cell variation
};

// Cellular noise with one jittered point per cell, repeating every `period` cells.
Worley worley(float x, float y, int period, uint32_t seed, float jitter = 0.85f);

}  // namespace q9tex

// The looks shared by the cards: chrome lettering, glows, space backdrops,
// the neon floor grid and glass panels.
#pragma once

#include "canvas.hpp"

namespace cards {

// Environment ramps for chrome, from straight up (0) through the horizon
// (0.5) to straight down (1).
std::vector<Stop> envChrome();  // blue sky over violet floor, the classic look
std::vector<Stop> envGold();
std::vector<Stop> envIce();

struct ChromeStyle {
    float bevel = 8.f;         // width of the rounded edge, pixels
    float top = 0.f;           // y span the environment is stretched over
    float bottom = 100.f;
    std::vector<Stop> env = envChrome();
    float shine = 1.2f;        // highlight strength
    float rim = 0.55f;         // darkening of the outermost pixel
};
// Shades the covered part of the mask as bevelled, polished metal.
void chrome(Image& img, const Mask& cover, const ChromeStyle& st);

// The mask grown outward by r pixels (anti-aliased).
Mask grow(const Mask& m, float r);
// Only the band outside m that grow() adds.
Mask ring(const Mask& m, float r);

// Blurred copy, computed only around what the mask covers.
Mask softened(const Mask& m, float sigma);
void glow(Image& img, const Mask& m, Col c, float sigma, float k);

void verticalGradient(Image& img, const std::vector<Stop>& stops);
// Coloured fbm clouds, added; weight(x, y) shapes where they appear.
template <class W>
void nebula(Image& img, uint32_t seed, float scale, Col a, Col b, float strength, W weight) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float wgt = weight(float(x), float(y));
            if (wgt <= 0.f) continue;
            float n = fbm(x / scale, y / scale, 5, seed);
            float m = fbm(x / scale * 0.7f + 40.f, y / scale * 0.7f, 4, seed + 9u);
            float d = smoothstep(0.38f, 0.85f, n);
            img.add(x, y, mix(a, b, m) * (d * d * strength * wgt));
        }
}
// Point stars with a few flared bright ones, above yMax only.
void starfield(Image& img, uint64_t seed, int count, float yMax, float brightness);
// Neon grid on a floor plane seen from above the horizon line.
void floorGrid(Image& img, float horizon, float spacing, Col c, float strength, uint32_t seed);
// Soft rays fanning out from a point.
void lightRays(Image& img, float cx, float cy, Col c, float strength, float reach, uint32_t seed);
// Dark glass with a thin bright border; returns the panel's mask.
Mask glassPanel(Image& img, float x0, float y0, float x1, float y1, float radius, Col tint, float opacity,
                Col edge, float edgeK);
// Horizontal gradient line, bright in the middle, fading at both ends.
void fadeLine(Image& img, float x0, float x1, float y, float hw, Col c, float k);

}  // namespace cards

// The four meshes of the show. All are closed surfaces with one vertex per
// surface point, so the loader's averaged normals come out smooth everywhere
// and the deforming scenes (which move vertices along those normals or by
// their distance from the origin) cannot tear a seam open.
//
// Texture coordinates are continuous functions of the surface, again so no
// vertex needs duplicating. The sphere-mapped scenes ignore them; the slimy
// knot, which the shader scene draws, gets coordinates that tile along and
// around its tube.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <stdexcept>

#include "mesh.h"

namespace meshgen {

namespace {

constexpr double kPi = std::numbers::pi;

// Unit icosahedron subdivided f times along every edge (class I geodesic
// sphere): 10 f^2 + 2 vertices, 20 f^2 triangles, counter-clockwise from
// outside. Grid points are placed by great-circle interpolation, which keeps
// triangle areas within about 20% of each other (projecting a flat grid
// gives nearly 2:1). Points on shared edges and corners are welded by their
// exact integer weights over the icosahedron's corners.
struct Geodesic {
    std::vector<V3> dirs;
    std::vector<std::array<std::uint32_t, 3>> triangles;
    std::vector<V3> corners;  // the 12 icosahedron corners, unit length
    std::vector<std::array<int, 2>> edges;  // the 30 edges, as corner pairs
};

// Point at fraction t along the great circle from unit vector a to b.
V3 slerp(V3 a, V3 b, double t) {
    const double angle = std::acos(std::clamp(dot(a, b), -1.0, 1.0));
    if (angle < 1e-12) return a;
    const double s = std::sin(angle);
    return normalize(a * (std::sin((1 - t) * angle) / s) + b * (std::sin(t * angle) / s));
}

Geodesic buildGeodesic(int f) {
    const double g = (1.0 + std::sqrt(5.0)) / 2.0;
    std::vector<V3> c = {{-1, g, 0}, {1, g, 0},  {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
                         {0, -1, -g}, {0, 1, -g}, {g, 0, -1},  {g, 0, 1},  {-g, 0, -1}, {-g, 0, 1}};
    for (auto& p : c) p = normalize(p);
    std::vector<std::array<int, 3>> faces = {
        {0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},  {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (auto& fc : faces) {
        const V3 n = cross(c[fc[1]] - c[fc[0]], c[fc[2]] - c[fc[0]]);
        if (dot(n, c[fc[0]] + c[fc[1]] + c[fc[2]]) < 0) std::swap(fc[1], fc[2]);
    }

    Geodesic geo;
    geo.corners = c;
    std::map<std::array<int, 6>, std::uint32_t> index;
    auto vertex = [&](std::array<std::pair<int, int>, 3> w, V3 p) -> std::uint32_t {
        std::sort(w.begin(), w.end());
        std::array<int, 6> key{};
        int k = 0;
        for (auto [corner, weight] : w)
            if (weight > 0) {
                key[k++] = corner;
                key[k++] = weight;
            }
        for (; k < 6; ++k) key[k] = -1;
        auto it = index.find(key);
        if (it != index.end()) return it->second;
        const auto id = static_cast<std::uint32_t>(geo.dirs.size());
        geo.dirs.push_back(p);
        index.emplace(key, id);
        return id;
    };
    for (const auto& fc : faces) {
        auto at = [&](int i, int j) {
            const V3 left = slerp(c[fc[0]], c[fc[2]], static_cast<double>(j) / f);
            const V3 right = slerp(c[fc[1]], c[fc[2]], static_cast<double>(j) / f);
            const V3 p = j == f ? c[fc[2]] : slerp(left, right, static_cast<double>(i) / (f - j));
            return vertex({{{fc[0], f - i - j}, {fc[1], i}, {fc[2], j}}}, p);
        };
        for (int j = 0; j < f; ++j)
            for (int i = 0; i + j < f; ++i) {
                geo.triangles.push_back({at(i, j), at(i + 1, j), at(i, j + 1)});
                if (i + j < f - 1) geo.triangles.push_back({at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
            }
    }
    std::map<std::pair<int, int>, bool> seen;
    for (const auto& fc : faces)
        for (int k = 0; k < 3; ++k) {
            const int a = std::min(fc[k], fc[(k + 1) % 3]);
            const int b = std::max(fc[k], fc[(k + 1) % 3]);
            if (!seen[{a, b}]) {
                seen[{a, b}] = true;
                geo.edges.push_back({a, b});
            }
        }
    return geo;
}

// Continuous planar coordinates for shapes that are sphere-mapped on screen.
std::array<double, 2> planarUv(V3 p, double extent) {
    return {0.5 + 0.5 * p.x / extent, 0.5 - 0.5 * p.y / extent};
}

// Classic gradient noise on a fixed permutation, for the slime's surface.
class Noise {
public:
    Noise() {
        for (int i = 0; i < 256; ++i) perm_[i] = static_cast<std::uint8_t>(i);
        std::uint32_t s = 0x9e3779b9u;
        for (int i = 255; i > 0; --i) {
            s = s * 1664525u + 1013904223u;
            std::swap(perm_[i], perm_[(s >> 8) % static_cast<std::uint32_t>(i + 1)]);
        }
    }

    double operator()(V3 p) const {
        const int xi = static_cast<int>(std::floor(p.x));
        const int yi = static_cast<int>(std::floor(p.y));
        const int zi = static_cast<int>(std::floor(p.z));
        const double fx = p.x - xi, fy = p.y - yi, fz = p.z - zi;
        auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
        const double u = fade(fx), v = fade(fy), w = fade(fz);
        auto grad = [&](int ix, int iy, int iz, double dx, double dy, double dz) {
            const int h = hash(ix, iy, iz) & 15;
            const double a = h < 8 ? dx : dy;
            const double b = h < 4 ? dy : (h == 12 || h == 14 ? dx : dz);
            return ((h & 1) ? -a : a) + ((h & 2) ? -b : b);
        };
        auto lerp = [](double t, double a, double b) { return a + t * (b - a); };
        return lerp(w,
                    lerp(v, lerp(u, grad(xi, yi, zi, fx, fy, fz), grad(xi + 1, yi, zi, fx - 1, fy, fz)),
                         lerp(u, grad(xi, yi + 1, zi, fx, fy - 1, fz),
                              grad(xi + 1, yi + 1, zi, fx - 1, fy - 1, fz))),
                    lerp(v,
                         lerp(u, grad(xi, yi, zi + 1, fx, fy, fz - 1),
                              grad(xi + 1, yi, zi + 1, fx - 1, fy, fz - 1)),
                         lerp(u, grad(xi, yi + 1, zi + 1, fx, fy - 1, fz - 1),
                              grad(xi + 1, yi + 1, zi + 1, fx - 1, fy - 1, fz - 1))));
    }

private:
    int hash(int x, int y, int z) const {
        return perm_[(perm_[(perm_[x & 255] + y) & 255] + z) & 255];
    }
    std::array<std::uint8_t, 256> perm_{};
};

}  // namespace

Mesh buildSpikeball() {
    // Frequency 24 puts a grid vertex exactly on every corner and edge
    // midpoint of the icosahedron: those 42 points become needle-sharp tips.
    const int f = 24;
    const Geodesic geo = buildGeodesic(f);
    std::vector<V3> tips = geo.corners;
    for (const auto& e : geo.edges) tips.push_back(normalize(geo.corners[e[0]] + geo.corners[e[1]]));

    const double core = 50.0, tip = 85.0;
    // Tips are at least 31.7 degrees apart; each spike's base leaves a band
    // of bare core between neighbours.
    const double baseAngle = 12.5 * kPi / 180.0;
    Mesh m;
    m.name = "spikeball";
    for (const V3& d : geo.dirs) {
        double rise = 0;
        for (const V3& t : tips) {
            const double a = std::acos(std::clamp(dot(d, t), -1.0, 1.0)) / baseAngle;
            // Concave flanks: steep near the tip, flat where it meets the core.
            if (a < 1) rise = std::max(rise, std::pow(1 - a, 2.6));
        }
        const V3 p = d * (core + (tip - core) * rise);
        m.positions.push_back(p);
        m.uvs.push_back(planarUv(d, 1.0));
    }
    m.triangles = geo.triangles;
    return m;
}

Mesh buildHisphere() {
    // Frequency 32: 10242 vertices.
    const Geodesic geo = buildGeodesic(32);
    const double radius = 55.0;
    Mesh m;
    m.name = "hisphere";
    for (const V3& d : geo.dirs) {
        m.positions.push_back(d * radius);
        m.uvs.push_back(planarUv(d, 1.0));
    }
    m.triangles = geo.triangles;
    return m;
}

Mesh buildRarkube() {
    // A cube grid of n cells per edge, each surface grid point pushed onto a
    // box of half-size h whose edges and corners are rounded with radius r.
    const int n = 22;
    const double h = 30.0, r = 8.0;
    const double inner = h - r;
    // More grid lines near the cube's edges, where the rounding bends.
    auto warp = [](double s) { return 0.5 * s + 0.5 * std::sin(kPi / 2 * s); };

    Mesh m;
    m.name = "rarkube";
    std::map<std::array<int, 3>, std::uint32_t> index;
    auto vertex = [&](std::array<int, 3> g) -> std::uint32_t {
        auto it = index.find(g);
        if (it != index.end()) return it->second;
        double c[3];
        for (int k = 0; k < 3; ++k) c[k] = h * warp(-1.0 + 2.0 * g[k] / n);
        const V3 cube{c[0], c[1], c[2]};
        const V3 core{std::clamp(c[0], -inner, inner), std::clamp(c[1], -inner, inner),
                      std::clamp(c[2], -inner, inner)};
        V3 p = core + normalize(cube - core) * r;
        // A faint pillow on each face (0.9 units at the centre, none at the
        // corners), so the sphere-mapped flats are not one flat colour.
        const double sq = (c[0] * c[0] + c[1] * c[1] + c[2] * c[2]) / (h * h);
        p = p * (1.0 + 0.03 * (3.0 - sq) / 2.0);
        const auto id = static_cast<std::uint32_t>(m.positions.size());
        m.positions.push_back(p);
        m.uvs.push_back(planarUv(p, h));
        index.emplace(g, id);
        return id;
    };

    for (int axis = 0; axis < 3; ++axis)
        for (int side = 0; side < 2; ++side) {
            // In-face axes a, b with a x b along the outward normal.
            int a = (axis + 1) % 3, b = (axis + 2) % 3;
            if (side == 0) std::swap(a, b);
            auto at = [&](int i, int j) {
                std::array<int, 3> g{};
                g[axis] = side == 0 ? 0 : n;
                g[a] = i;
                g[b] = j;
                return vertex(g);
            };
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const auto p00 = at(i, j), p10 = at(i + 1, j), p11 = at(i + 1, j + 1), p01 = at(i, j + 1);
                    // Split each quad along its shorter diagonal.
                    const double d0 = length(m.positions[p00] - m.positions[p11]);
                    const double d1 = length(m.positions[p10] - m.positions[p01]);
                    if (d0 <= d1) {
                        m.triangles.push_back({p00, p10, p11});
                        m.triangles.push_back({p00, p11, p01});
                    } else {
                        m.triangles.push_back({p00, p10, p01});
                        m.triangles.push_back({p10, p11, p01});
                    }
                }
        }
    return m;
}

Mesh buildSlimy() {
    // A (2,3) torus knot tube, its radius swelling along the strand and its
    // surface rippled by gradient noise.
    const int along = 208, around = 24;
    const double scale = 19.5, tubeRadius = 13.0;
    auto curve = [](double t) {
        const double r = 2.2 + std::cos(3 * t);
        return V3{r * std::cos(2 * t), r * std::sin(2 * t), -1.3 * std::sin(3 * t)};
    };
    auto tangent = [](double t) {
        const double r = 2.2 + std::cos(3 * t), dr = -3 * std::sin(3 * t);
        return normalize(V3{dr * std::cos(2 * t) - 2 * r * std::sin(2 * t),
                            dr * std::sin(2 * t) + 2 * r * std::cos(2 * t), -3.9 * std::cos(3 * t)});
    };

    // Frames carried along the curve without twisting, then the closing
    // mismatch spread evenly so the tube joins itself exactly.
    std::vector<V3> centre(along), tan(along), nrm(along), bin(along);
    for (int i = 0; i < along; ++i) {
        const double t = 2 * kPi * i / along;
        centre[i] = curve(t) * scale;
        tan[i] = tangent(t);
    }
    nrm[0] = normalize(cross(tan[0], V3{0, 0, 1}));
    for (int i = 1; i <= along; ++i) {
        const V3 t = tan[i % along];
        const V3 prev = nrm[i - 1];
        const V3 carried = normalize(prev - t * dot(prev, t));
        if (i < along) {
            nrm[i] = carried;
        } else {
            const double mismatch = std::atan2(dot(cross(nrm[0], carried), tan[0]), dot(nrm[0], carried));
            for (int k = 1; k < along; ++k) {
                const double a = -mismatch * k / along;
                const V3 b = cross(tan[k], nrm[k]);
                nrm[k] = nrm[k] * std::cos(a) + b * std::sin(a);
            }
        }
    }
    for (int i = 0; i < along; ++i) bin[i] = cross(tan[i], nrm[i]);

    const Noise noise;
    Mesh m;
    m.name = "slimy";
    std::vector<double> ringMax(along, 0.0);
    for (int i = 0; i < along; ++i) {
        const double t = 2 * kPi * i / along;
        const double swell = tubeRadius + 2.2 * std::sin(5 * t + 0.7) + 1.2 * std::sin(11 * t + 2.1);
        for (int j = 0; j < around; ++j) {
            const double a = 2 * kPi * j / around;
            const V3 dir = nrm[i] * std::cos(a) + bin[i] * std::sin(a);
            const V3 base = centre[i] + dir * swell;
            const double ripple = 3.2 * noise(base * 0.05) + 1.2 * noise(base * 0.12 + V3{17.3, 5.1, 9.7});
            const double radius = swell + ripple;
            ringMax[i] = std::max(ringMax[i], radius);
            m.positions.push_back(centre[i] + dir * radius);
            // Mirror the coordinates halfway along and around, so they stay
            // continuous over the closed surface: 6 tiles along each half of
            // the strand, one across each half of the tube.
            const double s = static_cast<double>(i) / along, q = static_cast<double>(j) / around;
            m.uvs.push_back({6.0 * (1.0 - std::abs(2.0 * s - 1.0)), 1.0 - std::abs(2.0 * q - 1.0)});
        }
    }
    // The strands must keep clear of each other, or the blob intersects
    // itself.
    for (int i = 0; i < along; ++i)
        for (int k = i + along / 8; k < along - along / 8 + i && k < along; ++k)
            if (length(centre[i] - centre[k]) < ringMax[i] + ringMax[k] + 1.0)
                throw std::runtime_error("slimy: strands touch");

    auto id = [&](int i, int j) { return static_cast<std::uint32_t>((i % along) * around + (j % around)); };
    for (int i = 0; i < along; ++i)
        for (int j = 0; j < around; ++j) {
            const auto p00 = id(i, j), p01 = id(i, j + 1), p10 = id(i + 1, j), p11 = id(i + 1, j + 1);
            m.triangles.push_back({p00, p01, p11});
            m.triangles.push_back({p00, p11, p10});
        }
    return m;
}

}  // namespace meshgen

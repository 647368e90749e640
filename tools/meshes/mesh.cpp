#include "mesh.h"

#include <bit>
#include <cmath>
#include <map>
#include <utility>

namespace meshgen {

double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

V3 cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double length(V3 a) { return std::sqrt(dot(a, a)); }

V3 normalize(V3 a) { return a * (1.0 / length(a)); }

namespace {

struct F3 {
    float x, y, z;
};

F3 stored(V3 p) {
    return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

// The loader's face normal, in single precision like the show computes it.
F3 faceNormal(F3 p0, F3 p1, F3 p2) {
    const F3 a{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
    const F3 b{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putI32(std::vector<std::uint8_t>& out, std::int32_t v) {
    putU32(out, static_cast<std::uint32_t>(v));
}

void putF32(std::vector<std::uint8_t>& out, double v) {
    putU32(out, std::bit_cast<std::uint32_t>(static_cast<float>(v)));
}

}  // namespace

double signedVolume(const Mesh& mesh) {
    double volume = 0;
    for (const auto& t : mesh.triangles) {
        const F3 a = stored(mesh.positions[t[0]]);
        const F3 b = stored(mesh.positions[t[1]]);
        const F3 c = stored(mesh.positions[t[2]]);
        const V3 da{a.x, a.y, a.z}, db{b.x, b.y, b.z}, dc{c.x, c.y, c.z};
        volume += dot(da, cross(db, dc)) / 6.0;
    }
    return volume;
}

std::string validate(const Mesh& mesh) {
    const std::size_t n = mesh.positions.size();
    if (n == 0 || mesh.triangles.empty()) return "empty mesh";
    if (mesh.uvs.size() != n) return "texture coordinate count differs from vertex count";
    if (n > 0x7fffffffu || mesh.triangles.size() > 0x7fffffffu) return "counts exceed int32";
    if (mesh.name.size() > 100) return "name longer than 100 bytes";

    for (std::size_t i = 0; i < n; ++i) {
        const F3 p = stored(mesh.positions[i]);
        const float u = static_cast<float>(mesh.uvs[i][0]);
        const float v = static_cast<float>(mesh.uvs[i][1]);
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) ||
            !std::isfinite(u) || !std::isfinite(v))
            return "non-finite value at vertex " + std::to_string(i);
        // The twist scene divides by the square root of the distance.
        if (p.x * p.x + p.y * p.y + p.z * p.z < 1e-6f)
            return "vertex " + std::to_string(i) + " at the origin";
    }

    std::vector<int> uses(n, 0);
    // Every directed edge exactly once and its reverse exactly once: a closed
    // surface whose triangles all agree on which side is out.
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> directed;
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        const auto& tri = mesh.triangles[t];
        for (auto i : tri)
            if (i >= n) return "index out of range in triangle " + std::to_string(t);
        if (tri[0] == tri[1] || tri[1] == tri[2] || tri[0] == tri[2])
            return "repeated index in triangle " + std::to_string(t);
        const F3 fn = faceNormal(stored(mesh.positions[tri[0]]), stored(mesh.positions[tri[1]]),
                                 stored(mesh.positions[tri[2]]));
        if (!(fn.x * fn.x + fn.y * fn.y + fn.z * fn.z > 1e-8f))
            return "degenerate triangle " + std::to_string(t);
        for (int k = 0; k < 3; ++k) {
            ++uses[tri[k]];
            if (++directed[{tri[k], tri[(k + 1) % 3]}] > 1)
                return "edge used twice in the same direction (triangle " + std::to_string(t) + ")";
        }
    }
    for (const auto& [edge, count] : directed) {
        (void)count;
        if (!directed.contains({edge.second, edge.first}))
            return "open edge " + std::to_string(edge.first) + "-" + std::to_string(edge.second);
    }
    for (std::size_t i = 0; i < n; ++i)
        if (uses[i] == 0) return "vertex " + std::to_string(i) + " used by no triangle";

    if (!(signedVolume(mesh) > 0)) return "signed volume not positive (inward winding)";
    return {};
}

std::vector<std::uint8_t> encodeEbr(const Mesh& mesh) {
    std::vector<std::uint8_t> out;
    out.reserve(16 + mesh.name.size() + 20 * mesh.positions.size() + 12 * mesh.triangles.size());
    putI32(out, 1);
    putI32(out, static_cast<std::int32_t>(mesh.positions.size()));
    putI32(out, static_cast<std::int32_t>(mesh.triangles.size()));
    putI32(out, static_cast<std::int32_t>(mesh.name.size()));
    out.insert(out.end(), mesh.name.begin(), mesh.name.end());
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const V3 p = mesh.positions[i];
        putF32(out, p.x);
        putF32(out, p.y);
        putF32(out, p.z);
        putF32(out, mesh.uvs[i][0]);
        putF32(out, mesh.uvs[i][1]);
    }
    for (const auto& t : mesh.triangles)
        for (auto i : t) putI32(out, static_cast<std::int32_t>(i));
    return out;
}

}  // namespace meshgen

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace meshgen {

struct V3 {
    double x = 0, y = 0, z = 0;
};

inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline V3 operator*(double s, V3 a) { return a * s; }
double dot(V3 a, V3 b);
V3 cross(V3 a, V3 b);
double length(V3 a);
V3 normalize(V3 a);

struct Mesh {
    std::string name;
    std::vector<V3> positions;
    std::vector<std::array<double, 2>> uvs;
    std::vector<std::array<std::uint32_t, 3>> triangles;
};

// Sanity checks on a finished mesh, done on the float values that go into the
// file. Returns an empty string when the mesh is fit to ship, otherwise what
// is wrong with it.
std::string validate(const Mesh& mesh);

// Signed volume of the mesh as stored (float positions); positive when the
// triangles wind counter-clockwise seen from outside.
double signedVolume(const Mesh& mesh);

// One mesh per file, little-endian, as the show's loader reads it.
std::vector<std::uint8_t> encodeEbr(const Mesh& mesh);

Mesh buildSpikeball();
Mesh buildSlimy();
Mesh buildRarkube();
Mesh buildHisphere();

}  // namespace meshgen

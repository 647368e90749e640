// Parser for the .ebr mesh format, from bytes already in memory, so it can be
// tested and fuzzed without files.
//
// Layout (little-endian, no magic, no padding): int32 meshCount, then per
// mesh int32 vertexCount, int32 triangleCount, int32 nameLength, the name
// (skipped), vertexCount records of float x, y, z, u, v, and triangleCount
// records of three int32 vertex indices.
#pragma once
#include "gfx/model.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Limits beyond which a file is taken as damaged rather than allocated for.
constexpr int32_t ebrMaxMeshes = 4096;
constexpr int32_t ebrMaxVertices = 1 << 24;
constexpr int32_t ebrMaxTriangles = 1 << 24;
constexpr int32_t ebrMaxNameLength = 100;

struct EbrMeshes {
    int32_t meshCount = 0;
    std::unique_ptr<std::unique_ptr<Mesh>[]> meshes;
};

// Fills `out` with the meshes of `data` (normals computed) and returns true.
// Returns false and leaves `out` empty when the bytes are not exactly one
// consistent file: a count that is negative or over its limit, a name over
// 100 bytes, an index outside its mesh, a position that is not finite, fewer
// bytes than the counts announce, or bytes left over after the last mesh.
// Every size is checked against the bytes left before anything is allocated.
bool parseEbr(const uint8_t* data, size_t size, EbrMeshes& out);

#include "gfx/ebr_reader.h"

#include <bit>
#include <cmath>

namespace {

// Reads little-endian values; the caller has checked that they are there.
uint32_t readU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int32_t readI32(const uint8_t* p) { return static_cast<int32_t>(readU32(p)); }

float readF32(const uint8_t* p) { return std::bit_cast<float>(readU32(p)); }

// Reads one mesh block at `p` with `left` bytes available. On success
// returns the mesh and sets `used` to the block's length.
std::unique_ptr<Mesh> parseMesh(const uint8_t* p, size_t left, size_t& used)
{
    constexpr size_t header = 12;
    if (left < header)
        return nullptr;
    const int32_t vertexCount = readI32(p);
    const int32_t triangleCount = readI32(p + 4);
    const int32_t nameLength = readI32(p + 8);
    if (vertexCount < 0 || vertexCount > ebrMaxVertices || triangleCount < 0 || triangleCount > ebrMaxTriangles ||
        nameLength < 0 || nameLength > ebrMaxNameLength)
        return nullptr;
    // All three are capped, so this cannot overflow.
    const size_t vertexBytes = 20 * static_cast<size_t>(vertexCount);
    const size_t triangleBytes = 12 * static_cast<size_t>(triangleCount);
    const size_t block = header + static_cast<size_t>(nameLength) + vertexBytes + triangleBytes;
    if (left < block)
        return nullptr;

    auto mesh = std::make_unique<Mesh>(vertexCount, triangleCount);
    const uint8_t* v = p + header + nameLength;
    for (int32_t i = 0; i < vertexCount; ++i, v += 20) {
        for (int k = 0; k < 3; ++k) {
            const float f = readF32(v + 4 * k);
            if (!std::isfinite(f))
                return nullptr;
            mesh->positions[3 * static_cast<size_t>(i) + k] = f;
        }
        mesh->texCoords[2 * static_cast<size_t>(i)] = readF32(v + 12);
        mesh->texCoords[2 * static_cast<size_t>(i) + 1] = readF32(v + 16);
    }
    const size_t indexCount = 3 * static_cast<size_t>(triangleCount);
    for (size_t i = 0; i < indexCount; ++i, v += 4) {
        const int32_t index = readI32(v);
        if (index < 0 || index >= vertexCount)
            return nullptr;
        mesh->indices[i] = static_cast<uint32_t>(index);
    }
    mesh->computeNormals();
    used = block;
    return mesh;
}

} // namespace

bool parseEbr(const uint8_t* data, size_t size, EbrMeshes& out)
{
    out = EbrMeshes{};
    if (data == nullptr || size < 4)
        return false;
    const int32_t meshCount = readI32(data);
    size_t offset = 4;
    // Every block has at least its 12-byte header.
    if (meshCount < 0 || meshCount > ebrMaxMeshes || static_cast<size_t>(meshCount) * 12 > size - offset)
        return false;

    auto meshes = std::make_unique<std::unique_ptr<Mesh>[]>(static_cast<size_t>(meshCount));
    for (int32_t i = 0; i < meshCount; ++i) {
        size_t used = 0;
        meshes[static_cast<size_t>(i)] = parseMesh(data + offset, size - offset, used);
        if (!meshes[static_cast<size_t>(i)])
            return false;
        offset += used;
    }
    // Leftover bytes mean the counts do not describe this file.
    if (offset != size)
        return false;
    out.meshCount = meshCount;
    out.meshes = std::move(meshes);
    return true;
}

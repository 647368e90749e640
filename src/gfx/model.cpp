#include "gfx/model.h"

#include "gfx/ebr_reader.h"
#include "platform/gl.h"
#include "platform/message_box.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

// The whole file, or false when it cannot be opened or read.
bool readWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

// A sum whose squares leave float's full-precision range (huge or tiny coordinates, as a
// damaged file can hold): normalised in double, so it still comes out unit
// length. One that overflowed has no direction left and becomes (0, 0, 0),
// like a vertex no face gives a direction.
void normaliseOutOfRange(float* n)
{
    if (!std::isfinite(n[0]) || !std::isfinite(n[1]) || !std::isfinite(n[2])) {
        n[0] = n[1] = n[2] = 0.0f;
        return;
    }
    const double x = n[0], y = n[1], z = n[2];
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length > 0.0) {
        n[0] = static_cast<float>(x / length);
        n[1] = static_cast<float>(y / length);
        n[2] = static_cast<float>(z / length);
    }
}

} // namespace

Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Mesh::Mesh(int32_t vertexCount_, int32_t triangleCount_)
    : vertexCount(std::max(vertexCount_, 0)), triangleCount(std::max(triangleCount_, 0)),
      positions(std::make_unique_for_overwrite<float[]>(3 * static_cast<size_t>(vertexCount))),
      normals(std::make_unique_for_overwrite<float[]>(3 * static_cast<size_t>(vertexCount))),
      texCoords(std::make_unique_for_overwrite<float[]>(2 * static_cast<size_t>(vertexCount))),
      indices(std::make_unique_for_overwrite<uint32_t[]>(3 * static_cast<size_t>(triangleCount)))
{
}

void Mesh::computeNormals()
{
    const size_t floats = 3 * static_cast<size_t>(vertexCount);
    float* n = normals.get();
    const float* p = positions.get();
    const uint32_t* idx = indices.get();
    std::fill(n, n + floats, 0.0f);

    const size_t triangles = static_cast<size_t>(triangleCount);
    for (size_t t = 0; t < triangles; ++t) {
        const size_t i0 = 3 * static_cast<size_t>(idx[3 * t]);
        const size_t i1 = 3 * static_cast<size_t>(idx[3 * t + 1]);
        const size_t i2 = 3 * static_cast<size_t>(idx[3 * t + 2]);
        const Vec3 e1{p[i1] - p[i0], p[i1 + 1] - p[i0 + 1], p[i1 + 2] - p[i0 + 2]};
        const Vec3 e2{p[i2] - p[i0], p[i2 + 1] - p[i0 + 1], p[i2 + 2] - p[i0 + 2]};
        // Not normalised: its length is twice the area, so big faces weigh more.
        const Vec3 f = cross(e1, e2);
        for (size_t i : {i0, i1, i2}) {
            n[i] += f.x;
            n[i + 1] += f.y;
            n[i + 2] += f.z;
        }
    }

    for (size_t i = 0; i < floats; i += 3) {
        const float squared = n[i] * n[i] + n[i + 1] * n[i + 1] + n[i + 2] * n[i + 2];
        if (squared >= std::numeric_limits<float>::min() && squared <= std::numeric_limits<float>::max()) {
            const float length = std::sqrt(squared);
            n[i] /= length;
            n[i + 1] /= length;
            n[i + 2] /= length;
        } else {
            normaliseOutOfRange(n + i);
        }
    }
}

Model::Model(const char* path)
{
    std::vector<uint8_t> bytes;
    if (!path || !readWholeFile(path, bytes)) {
        platform::showMessageBox("Error: .ebr file not found", path ? path : "", nullptr);
        return;
    }
    EbrMeshes parsed;
    if (!parseEbr(bytes.data(), bytes.size(), parsed)) {
        platform::showMessageBox("Error: .ebr file is damaged", path, nullptr);
        return;
    }
    meshCount = parsed.meshCount;
    meshes = std::move(parsed.meshes);
}

void Model::draw()
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (int32_t i = 0; i < meshCount; ++i) {
        const Mesh& m = *meshes[static_cast<size_t>(i)];
        glVertexPointer(3, GL_FLOAT, 0, m.positions.get());
        glNormalPointer(GL_FLOAT, 0, m.normals.get());
        glTexCoordPointer(2, GL_FLOAT, 0, m.texCoords.get());
        glDrawElements(GL_TRIANGLES, 3 * m.triangleCount, GL_UNSIGNED_INT, m.indices.get());
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void Model::recomputeNormals()
{
    for (int32_t i = 0; i < meshCount; ++i)
        meshes[static_cast<size_t>(i)]->computeNormals();
}

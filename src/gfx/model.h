// Triangle meshes loaded from .ebr files, kept as plain arrays that OpenGL
// draws directly and scenes rewrite in place.
#pragma once
#include <cstdint>
#include <memory>

struct Vec3 {
    float x, y, z;
};

Vec3 cross(Vec3 a, Vec3 b);

class Mesh {
public:
    Mesh(int32_t vertexCount, int32_t triangleCount);

    // Area-weighted vertex normals from positions and indices. Allocates
    // nothing. A vertex no triangle gives a direction gets (0, 0, 0).
    void computeNormals();

    int32_t vertexCount;
    int32_t triangleCount;
    std::unique_ptr<float[]> positions; // 3 per vertex
    std::unique_ptr<float[]> normals;   // 3 per vertex
    std::unique_ptr<float[]> texCoords; // 2 per vertex
    std::unique_ptr<uint32_t[]> indices; // 3 per triangle
};

class Model {
public:
    // Loads `path`. A missing or damaged file shows a message box (caption:
    // the path) and leaves a Model with no mesh.
    explicit Model(const char* path);
    ~Model() = default;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    void draw();
    void recomputeNormals();

    int32_t meshCount = 0;
    std::unique_ptr<std::unique_ptr<Mesh>[]> meshes; // meshCount entries, file order
};

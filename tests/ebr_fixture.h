// Builds .ebr files byte by byte for the mesh tests.
#pragma once
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

struct EbrVertex {
    float x, y, z, u, v;
};

struct EbrMeshSpec {
    std::string name;
    std::vector<EbrVertex> vertices;
    std::vector<int32_t> indices; // three per triangle
};

inline void appendI32(std::vector<uint8_t>& out, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<uint8_t>(u >> (8 * k)));
}

inline void appendF32(std::vector<uint8_t>& out, float value)
{
    int32_t bits;
    std::memcpy(&bits, &value, 4);
    appendI32(out, bits);
}

inline std::vector<uint8_t> ebrBytes(const std::vector<EbrMeshSpec>& meshes)
{
    std::vector<uint8_t> out;
    appendI32(out, static_cast<int32_t>(meshes.size()));
    for (const EbrMeshSpec& m : meshes) {
        appendI32(out, static_cast<int32_t>(m.vertices.size()));
        appendI32(out, static_cast<int32_t>(m.indices.size() / 3));
        appendI32(out, static_cast<int32_t>(m.name.size()));
        out.insert(out.end(), m.name.begin(), m.name.end());
        for (const EbrVertex& v : m.vertices)
            for (float f : {v.x, v.y, v.z, v.u, v.v})
                appendF32(out, f);
        for (int32_t i : m.indices)
            appendI32(out, i);
    }
    return out;
}

// One mesh, a 4-byte name, three vertices and one counter-clockwise
// triangle in the z = 0 plane: 92 bytes.
inline EbrMeshSpec oneTriangleMesh()
{
    return {"tri1", {{0, 0, 0, 0.0f, 0.0f}, {1, 0, 0, 1.0f, 0.0f}, {0, 1, 0, 0.0f, 1.0f}}, {0, 1, 2}};
}

// A file in a folder of its own, removed with the object.
struct TempEbrFile {
    explicit TempEbrFile(const std::vector<uint8_t>& bytes, const std::string& name = "mesh.ebr")
    {
        static int serial = 0;
        dir = std::filesystem::temp_directory_path() /
              ("q9_ebr_" + std::to_string(::getpid()) + "_" + std::to_string(serial++));
        std::filesystem::create_directories(dir);
        path = (dir / name).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempEbrFile()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    TempEbrFile(const TempEbrFile&) = delete;
    TempEbrFile& operator=(const TempEbrFile&) = delete;

    std::filesystem::path dir;
    std::string path;
};

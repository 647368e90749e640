// Writes the show's four meshes into <run folder>/data/.
//
//   q9_meshgen <run folder>
//
// Each mesh is checked before it is written (closed, outward winding, no
// degenerate triangles, nothing at the origin); a failed check fails the build.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "mesh.h"

namespace {

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <run folder>\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::filesystem::path dataDir = std::filesystem::path(argv[1]) / "data";
    std::error_code ec;
    std::filesystem::create_directories(dataDir, ec);
    if (ec) {
        std::fprintf(stderr, "q9_meshgen: cannot create %s: %s\n", dataDir.c_str(), ec.message().c_str());
        return 1;
    }

    using Builder = meshgen::Mesh (*)();
    const std::pair<const char*, Builder> jobs[] = {
        {"spikeball.ebr", meshgen::buildSpikeball},
        {"slimy.ebr", meshgen::buildSlimy},
        {"rarkube.ebr", meshgen::buildRarkube},
        {"hisphere.ebr", meshgen::buildHisphere},
    };
    for (const auto& [file, build] : jobs) {
        meshgen::Mesh mesh;
        try {
            mesh = build();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "q9_meshgen: %s: %s\n", file, e.what());
            return 1;
        }
        const std::string problem = meshgen::validate(mesh);
        if (!problem.empty()) {
            std::fprintf(stderr, "q9_meshgen: %s: %s\n", file, problem.c_str());
            return 1;
        }
        const auto path = dataDir / file;
        if (!writeFile(path, meshgen::encodeEbr(mesh))) {
            std::fprintf(stderr, "q9_meshgen: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("q9_meshgen: %-14s %6zu vertices %6zu triangles, volume %.0f\n", file,
                    mesh.positions.size(), mesh.triangles.size(), meshgen::signedVolume(mesh));
    }
    const auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("q9_meshgen: 4 meshes in %.0f ms\n", ms);
    return 0;
}

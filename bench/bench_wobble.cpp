// CPU cost of one frame of the wobbling sphere: the deformation of
// data/hisphere.ebr and the normal recomputation after it (budget: 2 ms).
// Run from the build folder, where the mesh is generated.
#include "effects/wobble_deform.h"
#include "gfx/model.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

constexpr const char* hisphere = "data/hisphere.ebr";

void BM_WobbleFrame(benchmark::State& state)
{
    if (!std::filesystem::exists(hisphere)) {
        state.SkipWithError("data/hisphere.ebr not found: run from the build folder after building q9_meshes");
        return;
    }
    Model deformed(hisphere);
    Model source(hisphere);
    if (deformed.meshCount < 1 || source.meshCount < 1) {
        state.SkipWithError("hisphere has no mesh");
        return;
    }
    const Mesh& rest = *source.meshes[0];
    Mesh& target = *deformed.meshes[0];
    // A new phase every frame, as in the show (60 frames per second).
    float t = 0.0f;
    for (auto _ : state) {
        wobbleDeform(rest.positions.get(), rest.normals.get(), target.positions.get(), target.vertexCount, t,
                     wobbleCoefficients(1, t));
        deformed.recomputeNormals();
        benchmark::DoNotOptimize(target.normals[0]);
        benchmark::ClobberMemory();
        t += 1.0f / 60.0f;
    }
    state.counters["vertices"] = target.vertexCount;
}
BENCHMARK(BM_WobbleFrame)->Unit(benchmark::kMicrosecond);

} // namespace

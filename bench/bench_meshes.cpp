// CPU cost of the mesh work done every frame: normal recomputation, the
// twisting scene's deformation, and the star field's step. Run from the
// build folder, where data/spikeball.ebr is generated.
#include "effects/show_random.h"
#include "effects/star_field.h"
#include "effects/twist_mesh.h"
#include "gfx/model.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr const char* spikeball = "data/spikeball.ebr";

bool haveSpikeball(benchmark::State& state)
{
    if (std::filesystem::exists(spikeball))
        return true;
    state.SkipWithError("data/spikeball.ebr not found: run from the build folder after building q9_meshes");
    return false;
}

void BM_ComputeNormals(benchmark::State& state)
{
    if (!haveSpikeball(state))
        return;
    Model model(spikeball);
    if (model.meshCount < 1) {
        state.SkipWithError("spikeball has no mesh");
        return;
    }
    Mesh& mesh = *model.meshes[0];
    for (auto _ : state) {
        mesh.computeNormals();
        benchmark::DoNotOptimize(mesh.normals[0]);
        benchmark::ClobberMemory();
    }
    // Reported per triangle: the "items" of this benchmark.
    state.SetItemsProcessed(state.iterations() * mesh.triangleCount);
    state.counters["ns_per_triangle"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * mesh.triangleCount,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["triangles"] = mesh.triangleCount;
}
BENCHMARK(BM_ComputeNormals)->Unit(benchmark::kMicrosecond);

// One frame of the twisting scene without the drawing: deformation plus
// normal recomputation, at a time where all three angles are large.
void BM_TwistMeshFrame(benchmark::State& state)
{
    if (!haveSpikeball(state))
        return;
    Model model(spikeball), reference(spikeball);
    if (model.meshCount < 1) {
        state.SkipWithError("spikeball has no mesh");
        return;
    }
    const auto n = static_cast<size_t>(model.meshes[0]->vertexCount);
    std::vector<float> weights(n);
    std::vector<Vec3> angles(n);
    int32_t t = 16000;
    for (auto _ : state) {
        twistMesh(t, &model, &reference, weights.data(), angles.data(), 1e-05f);
        benchmark::ClobberMemory();
        t = t < 33000 ? t + 17 : 16000;
    }
    state.counters["vertices"] = static_cast<double>(n);
}
BENCHMARK(BM_TwistMeshFrame)->Unit(benchmark::kMicrosecond);

// The per-frame move of the 4000 stars, four steps' worth (a 40 ms frame).
void BM_StarFieldStep(benchmark::State& state)
{
    resetShowRand();
    std::vector<Star> stars(starCount);
    initStarField(stars.data());
    for (auto _ : state) {
        stepStarField(stars.data(), 4 * 0.0065f);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StarFieldStep)->Unit(benchmark::kMicrosecond);

} // namespace

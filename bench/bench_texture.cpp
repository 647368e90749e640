// What one picture costs at load time: a 1024 x 1024 JPEG into a mipmapped
// texture, and its parts (decode, texel shuffle, mipmap build). The JPEG is
// written once per run from a fixed pattern, so every run times the same file.
#include "gfx/texel_reorder.h"
#include "gfx/texture.h"
#include "platform/gl.h"
#include "platform/image_decoder.h"
#include "window/gl_window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int side = 1024;

const std::string& fixtureJpeg()
{
    static const std::string path = [] {
        const std::string p = "/tmp/q9_bench_texture_1024.jpg";
        std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
            SDL_CreateRGBSurfaceWithFormat(0, side, side, 0, SDL_PIXELFORMAT_RGB24), SDL_FreeSurface);
        if (!surface)
            return std::string();
        // Smooth gradients with fine ripples: about as hard on the decoder
        // as a photograph.
        for (int y = 0; y < side; ++y) {
            auto* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
            for (int x = 0; x < side; ++x) {
                const double ripple = std::sin(x * 0.11) * std::cos(y * 0.07) * 40;
                row[3 * x] = static_cast<uint8_t>((x / 4 + static_cast<int>(ripple) + 64) & 255);
                row[3 * x + 1] = static_cast<uint8_t>((y / 4 + (x ^ y) % 32) & 255);
                row[3 * x + 2] = static_cast<uint8_t>(((x + y) / 8 + static_cast<int>(ripple)) & 255);
            }
        }
        return IMG_SaveJPG(surface.get(), p.c_str(), 90) == 0 ? p : std::string();
    }();
    return path;
}

std::unique_ptr<GLWindow> hiddenWindow()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    return std::make_unique<GLWindow>(64, 64, 32, false, "q9 bench texture", true);
}

void BM_TextureFromJpeg1024(benchmark::State& state)
{
    const auto window = hiddenWindow();
    const std::string& path = fixtureJpeg();
    if (!window->isReady() || path.empty()) {
        state.SkipWithError("no GL window or no fixture");
        return;
    }
    for (auto _ : state) {
        GLWrapper::Texture texture(path.c_str());
        glFinish();
        state.PauseTiming();
        if (texture.width != side)
            state.SkipWithError("fixture did not decode");
        // The show never deletes a texture; the benchmark must, or it runs out of memory.
        glDeleteTextures(1, &texture.textureId);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TextureFromJpeg1024)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeJpeg1024(benchmark::State& state)
{
    const std::string& path = fixtureJpeg();
    if (path.empty()) {
        state.SkipWithError("no fixture");
        return;
    }
    for (auto _ : state) {
        platform::DecodedImage image = platform::decodeImage(path.c_str());
        benchmark::DoNotOptimize(image.topRow);
    }
}
BENCHMARK(BM_DecodeJpeg1024)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TexelReorder1024(benchmark::State& state)
{
    const int bytes = static_cast<int>(state.range(0));
    const size_t stride = static_cast<size_t>(side) * bytes;
    std::vector<uint8_t> source(stride * side), out(stride * side);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<uint8_t>(i * 7);
    // Bottom-up rows, as the decoder delivers them.
    const uint8_t* topRow = source.data() + (side - 1) * stride;
    for (auto _ : state) {
        reorderTexels(topRow, -static_cast<std::ptrdiff_t>(stride), side, side, bytes, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(out.size()));
}
BENCHMARK(BM_TexelReorder1024)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_BuildMipmaps1024(benchmark::State& state)
{
    const auto window = hiddenWindow();
    if (!window->isReady()) {
        state.SkipWithError("no GL window");
        return;
    }
    std::vector<uint8_t> texels(static_cast<size_t>(side) * side * 3);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<uint8_t>(i * 13);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (auto _ : state) {
        GLuint id = 0;
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, side, side, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        glFinish();
        state.PauseTiming();
        glDeleteTextures(1, &id);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildMipmaps1024)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

// What the glow costs: the glowing-model frame at 1920 x 1080 against a
// frame that only clears and draws the same model. Wall-clock time with a
// glFinish after every frame, since a software rasteriser works on threads
// of its own.
#include "effects/glow_model.h"
#include "effects/screen_quads.h"
#include "gfx/model.h"
#include "gfx/render_target.h"
#include "gfx/texture.h"
#include "platform/gl.h"
#include "window/gl_window.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>

namespace {

constexpr int frameWidth = 1920;
constexpr int frameHeight = 1080;

// The scene's assets in a hidden window of their own, made per benchmark
// run so that its context is the current one throughout.
struct GlowBench {
    GlowBench() : window(frameWidth, frameHeight, 32, false, "q9 bench glow", true)
    {
        if (!window.isReady())
            return;
        model = std::make_unique<Model>("data/rarkube.ebr");
        door = std::make_unique<GLWrapper::Texture>("data/door.jpg");
        frame = std::make_unique<RenderTarget>(frameWidth, frameHeight, frameWidth, frameHeight);
        glow = std::make_unique<RenderTarget>(128, 128, frameWidth, frameHeight);
    }
    bool ready() const { return window.isReady() && model->meshCount > 0 && door->loaded; }

    // What the main loop does before every segment.
    static void startFrame()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
    }

    // The model under the scene's camera, straight into the window.
    void plainFrame(int32_t showTime)
    {
        startFrame();
        glViewport(0, 0, frameWidth, frameHeight);
        glMatrixMode(GL_PROJECTION);
        gluPerspective(65.0, static_cast<double>(1.333f), 1.0, 1900.0);
        glMatrixMode(GL_MODELVIEW);
        gluLookAt(10, 10, 100, 0, 0, 0, 0, 1, 0);
        glRotatef(static_cast<float>(showTime / 1000.0) * 70.0f, 0, 0, 1);
        enableSphereMap();
        door->enable();
        model->draw();
        door->disable();
        disableSphereMap();
        glFinish();
    }

    void glowFrame(int32_t showTime)
    {
        startFrame();
        sceneGlowModel(showTime, model.get(), door.get(), frame.get(), glow.get(), 1.0f);
        glFinish();
    }

    GLWindow window;
    std::unique_ptr<Model> model;
    std::unique_ptr<GLWrapper::Texture> door;
    std::unique_ptr<RenderTarget> frame;
    std::unique_ptr<RenderTarget> glow;
};

// Show times inside the scene's window, one 16 ms frame apart.
int32_t showTimeOf(int64_t frameIndex) { return 80000 + static_cast<int32_t>((frameIndex * 16) % 6000); }

void BM_ModelOnlyFrame(benchmark::State& state)
{
    GlowBench bench;
    if (!bench.ready()) {
        state.SkipWithError("no GL window or no scene assets (data/rarkube.ebr, data/door.jpg)");
        return;
    }
    int64_t i = 0;
    for (auto _ : state)
        bench.plainFrame(showTimeOf(i++));
}
BENCHMARK(BM_ModelOnlyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GlowModelFrame(benchmark::State& state)
{
    GlowBench bench;
    if (!bench.ready()) {
        state.SkipWithError("no GL window or no scene assets (data/rarkube.ebr, data/door.jpg)");
        return;
    }
    int64_t i = 0;
    for (auto _ : state)
        bench.glowFrame(showTimeOf(i++));
}
BENCHMARK(BM_GlowModelFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both frames alternately in one loop, so that a machine busy with other
// work slows both alike; reports the glow frame's cost over the plain one's.
void BM_GlowOverPlainRatio(benchmark::State& state)
{
    GlowBench bench;
    if (!bench.ready()) {
        state.SkipWithError("no GL window or no scene assets (data/rarkube.ebr, data/door.jpg)");
        return;
    }
    using Clock = std::chrono::steady_clock;
    Clock::duration plain{}, glowing{};
    int64_t i = 0;
    for (auto _ : state) {
        const int32_t t = showTimeOf(i++);
        const auto start = Clock::now();
        bench.plainFrame(t);
        const auto middle = Clock::now();
        bench.glowFrame(t);
        const auto end = Clock::now();
        plain += middle - start;
        glowing += end - middle;
    }
    const double plainMs = std::chrono::duration<double, std::milli>(plain).count() / static_cast<double>(i);
    const double glowMs = std::chrono::duration<double, std::milli>(glowing).count() / static_cast<double>(i);
    state.counters["plain_ms"] = plainMs;
    state.counters["glow_ms"] = glowMs;
    state.counters["ratio"] = glowMs / plainMs;
}
BENCHMARK(BM_GlowOverPlainRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

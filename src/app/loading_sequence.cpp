#include "app/loading_sequence.h"

#include "app/loading_timeline.h"
#include "app/show_assets.h"
#include "loading/loading_screen.h"
#include "window/gl_window.h"

#include <utility>

namespace {
constexpr int loadingUpdates = 35; // 34 here, the last after the music has started

struct Loader {
    GLWindow& window;
    ShowAssets& a;

    void update() { updateLoadingScreen(window, a.progress.get(), *a.loadingscreen); }

    void stage(const char* status)
    {
        markLoadingStage(status);
        setProgressStatus(a.progress.get(), status);
    }

    void texture(std::optional<GLWrapper::Texture>& slot, const char* path, bool thenUpdate = true)
    {
        slot.emplace(path);
        if (thenUpdate)
            update();
    }

    void model(std::unique_ptr<Model>& slot, const char* path, bool thenUpdate = true)
    {
        slot = std::make_unique<Model>(path);
        if (thenUpdate)
            update();
    }
};
} // namespace

void loadShowAssets(GLWindow& window, ShowAssets& a, const char* loadingCaption, int width, int height)
{
    Loader load{window, a};
    a.loadingscreen.emplace("data/loadingscreen.jpg");
    a.progress = createProgressBar(-0.838f, -0.85f, 0.44f, -0.9f, 0.003f, loadingUpdates, loadingCaption, "Textures...");
    load.stage("Textures"); // replaced before anything is drawn
    load.update();
    load.update();

    load.texture(a.bumpmap, "data/bumpmap.jpg");
    load.texture(a.doom, "data/doom.jpg");
    load.texture(a.blue, "data/blue.jpg");
    load.texture(a.c64_1, "data/c64_1.jpg");
    load.texture(a.c64_2, "data/c64_2.jpg");
    load.texture(a.c64_3, "data/c64_3.jpg");
    load.texture(a.c64_4, "data/c64_4.jpg");
    load.texture(a.c64_5, "data/c64_5.png");
    load.texture(a.c64_6, "data/c64_6.jpg");
    load.texture(a.door, "data/door.jpg");
    load.texture(a.star, "data/star.jpg");
    load.texture(a.greets, "data/greets.jpg");
    load.texture(a.history, "data/history.png");
    load.texture(a.credits, "data/credits.jpg");
    load.texture(a.bottom, "data/bottom.png");
    load.texture(a.vubar, "data/vubar.jpg");
    load.texture(a.ansigirl, "data/ansigirl.jpg"); // update 19
    load.texture(a.rushed, "data/rushed.png", false);

    load.stage("Models...");
    load.update(); // 20
    load.model(a.spikeballA, "data/spikeball.ebr");
    load.model(a.spikeballB, "data/spikeball.ebr");
    load.model(a.slimyA, "data/slimy.ebr");
    load.model(a.slimyB, "data/slimy.ebr");
    load.model(a.rarkube, "data/rarkube.ebr");
    load.model(a.hisphereA, "data/hisphere.ebr"); // update 26
    load.model(a.hisphereB, "data/hisphere.ebr", false);

    load.stage("Setting up shaders");
    load.update(); // 27
    a.shaders = setupShaders();

    load.stage("Render targets");
    load.update();
    load.update(); // 29
    a.frameTarget = std::make_unique<RenderTarget>(width, height, width, height);
    load.update(); // 30
    a.glowTarget = std::make_unique<RenderTarget>(128, 128, width, height);
    load.update(); // 31

    load.stage("Precalcing...");
    load.update();
    load.update(); // 33
    // A spikeball whose file failed has no mesh: empty buffers, never touched.
    const size_t n = a.spikeballA->meshCount > 0 ? static_cast<size_t>(a.spikeballA->meshes[0]->vertexCount) : 0;
    a.twistWeights.resize(n);
    a.twistAngles.resize(n);
    initStarField(a.starsA.data());
    initStarField(a.starsB.data());
    initRingTable(&a.ringsA, 60);
    initRingTable(&a.ringsB, 800);

    load.stage("Music...");
    load.update(); // 34
}

int finishLoadingScreen(GLWindow& window, ShowAssets& a)
{
    return updateLoadingScreen(window, a.progress.get(), *a.loadingscreen);
}

#include "app/show.h"

#include "app/loading_sequence.h"
#include "app/main_loop.h"
#include "app/offline_presenter.h"
#include "app/options.h"
#include "app/show_assets.h"
#include "audio/music.h"
#include "platform/sleep.h"
#include "platform/tick_clock.h"
#include "window/gl_window.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {
// Offline runs pretend the machine has been up for ten minutes.
constexpr uint32_t offlineUptimeMs = 600000;

bool makeFolder(const std::string& dir)
{
    struct stat st{};
    if (stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return mkdir(dir.c_str(), 0755) == 0;
}
} // namespace

int runShow(const std::vector<std::string>& args)
{
    char title[128] = "Quorblestration 9";
    char loadingCaption[128] = "Loading Quorblestration 9";

    const ShowOptions options = scanArguments(args);
    const std::string command = args.empty() ? "quorblestration9" : args.front();
    if (options.help) {
        std::fputs(usageText(command).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("Quorblestration 9 %s\n", Q9_VERSION);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", command.c_str(), options.error.c_str());
        return 1;
    }
    if (!options.framesDir.empty() && !makeFolder(options.framesDir)) {
        std::fprintf(stderr, "%s: cannot create the folder '%s'\n", command.c_str(), options.framesDir.c_str());
        return 1;
    }

    const bool offline = options.offline();
    if (offline) {
        platform::useVirtualClock(offlineUptimeMs);
        setMusicOffline(true);
    }

    GLWindow window(options.width, options.height, 32, offline ? false : options.fullscreen, title, offline);
    if (!window.isReady())
        return 1; // the box has said why; an invisible show helps nobody

    std::unique_ptr<OfflinePresenter> presenter;
    if (offline) {
        presenter = std::make_unique<OfflinePresenter>(options.framesDir, options.fps, options.width, options.height);
        window.setPresentHook([p = presenter.get()] { p->onPresent(); });
    }
    const auto phase = [&](OfflinePresenter::Phase p) {
        if (presenter)
            presenter->setPhase(p);
    };

    {
        ShowAssets assets;
        loadShowAssets(window, assets, loadingCaption, options.width, options.height);
        phase(OfflinePresenter::Phase::between);
        window.presentAndPump();
        window.startMusic("vemo.ogg", static_cast<float>(options.startMs / 1000.0));
        const uint32_t showStart = platform::getTickCount() - options.startMs;
        phase(OfflinePresenter::Phase::loading);
        if (finishLoadingScreen(window, assets) != 0)
            platform::sleepMs(2000); // keeps the warning readable; the clock runs on
        phase(OfflinePresenter::Phase::show);
        runMainLoop(window, assets, showStart);
    } // models, then textures, in reverse load order
    shutdownMusic();
    return 0;
}

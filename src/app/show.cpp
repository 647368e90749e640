#include "app/show.h"

#include "app/frame_timer.h"
#include "app/loading_sequence.h"
#include "app/loading_timeline.h"
#include "app/main_loop.h"
#include "app/offline_presenter.h"
#include "app/options.h"
#include "app/schedule.h"
#include "app/show_assets.h"
#include "app/terminal_progress.h"
#include "app/video_recorder.h"
#include "audio/music.h"
#include "platform/gl.h"
#include "platform/sleep.h"
#include "platform/tick_clock.h"
#include "window/gl_window.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Offline runs pretend the machine has been up for ten minutes.
constexpr uint32_t offlineUptimeMs = 600000;
constexpr int bareFramesMeasured = 240;

bool makeFolder(const std::string& dir)
{
    struct stat st{};
    if (stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return mkdir(dir.c_str(), 0755) == 0;
}

// What an offline run writes or measures, reachable from the end of the show.
struct OfflineSession {
    ShowOptions options;
    GLWindow* window = nullptr;
    std::unique_ptr<VideoRecorder> recorder;
    std::unique_ptr<FrameTimer> timer;
    std::unique_ptr<TerminalProgress> progress;
    std::unique_ptr<OfflinePresenter> presenter;
};
OfflineSession* session = nullptr;
const char* partialToRemove = nullptr;

void removePartialOnSignal(int sig)
{
    if (partialToRemove)
        unlink(partialToRemove);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void measureBareFrames(OfflineSession& s)
{
    s.presenter->setPhase(OfflinePresenter::Phase::idle);
    for (int i = 0; i < bareFramesMeasured; ++i) {
        const auto begin = std::chrono::steady_clock::now();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        s.window->presentAndPump();
        glFinish();
        s.timer->addBareFrame(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    }
}

// Runs when the schedule reaches the end of the show, just before exit(0).
void finishOfflineSession()
{
    if (!session)
        return;
    OfflineSession& s = *session;
    if (s.progress)
        s.progress->finish();
    if (s.timer) {
        measureBareFrames(s);
        std::vector<std::string> names;
        for (int i = 1; i <= 17; ++i)
            names.emplace_back(segmentName(i));
        s.timer->printReport(stdout, s.options.width, s.options.height, s.options.fps, names);
    }
    if (s.recorder) {
        std::string error;
        if (!s.recorder->finish(error)) {
            std::fprintf(stderr, "quorblestration9: %s\n", error.c_str());
            std::exit(1);
        }
        std::fprintf(stderr, "quorblestration9: wrote %s\n", s.options.recordFile.c_str());
    }
    if (!s.options.framesDir.empty())
        std::fprintf(stderr, "quorblestration9: wrote %d frames to %s\n", s.presenter->showFramesPresented(),
                     s.options.framesDir.c_str());
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
    OfflineSession offlineSession;
    offlineSession.options = options;
    if (offline) {
        platform::useVirtualClock(offlineUptimeMs);
        setMusicOffline(true);
    }

    GLWindow window(options.width, options.height, 32, offline ? false : options.fullscreen, title, offline);
    if (!window.isReady())
        return 1; // the box has said why; an invisible show helps nobody
    startLoadingTimeline(); // loading is timed from the window to the music

    if (offline) {
        OfflineSession& s = offlineSession;
        s.window = &window;
        const int frames = offlineFrameCount(options.startMs, options.fps);
        if (!options.recordFile.empty()) {
            s.recorder = std::make_unique<VideoRecorder>();
            std::string error;
            if (!s.recorder->start(options.recordFile, options.width, options.height, options.fps, options.startMs,
                                   "vemo.ogg", error)) {
                std::fprintf(stderr, "%s: %s\n", command.c_str(), error.c_str());
                return 1;
            }
            partialToRemove = s.recorder->partialPath().c_str();
            std::signal(SIGINT, removePartialOnSignal);
            std::signal(SIGTERM, removePartialOnSignal);
        }
        if (options.benchmark)
            s.timer = std::make_unique<FrameTimer>(17);
        if (!options.framesDir.empty() || s.recorder)
            s.progress = std::make_unique<TerminalProgress>(s.recorder ? "recording" : "rendering", frames);
        s.presenter = std::make_unique<OfflinePresenter>(
            OfflineOutputs{options.framesDir, s.recorder.get(), s.timer.get(), s.progress.get()}, options.fps,
            options.width, options.height);
        window.setPresentHook([p = s.presenter.get()] { p->beforeSwap(); });
        window.setAfterPresentHook([p = s.presenter.get()] { p->afterSwap(); });
        session = &s;
        setShowEndHandler(finishOfflineSession);
    }
    const auto phase = [&](OfflinePresenter::Phase p) {
        if (offlineSession.presenter)
            offlineSession.presenter->setPhase(p);
    };

    int status = 0;
    {
        ShowAssets assets;
        loadShowAssets(window, assets, loadingCaption, options.width, options.height);
        phase(OfflinePresenter::Phase::between);
        window.presentAndPump();
        window.startMusic("vemo.ogg", static_cast<float>(options.startMs / 1000.0));
        const uint32_t showStart = platform::getTickCount() - options.startMs;
        finishLoadingTimeline();
        if (offlineSession.presenter)
            offlineSession.presenter->setShowStart(showStart);
        phase(OfflinePresenter::Phase::loading);
        if (finishLoadingScreen(window, assets) != 0)
            platform::sleepMs(2000); // keeps the warning readable; the clock runs on
        phase(OfflinePresenter::Phase::show);
        runMainLoop(window, assets, showStart);
        if (offlineSession.recorder) {
            offlineSession.recorder->abandon();
            std::fprintf(stderr, "\n%s: the show was stopped before its end; no video was written\n", command.c_str());
            status = 1;
        }
    } // models, then textures, in reverse load order
    session = nullptr;
    setShowEndHandler(nullptr);
    shutdownMusic();
    return status;
}

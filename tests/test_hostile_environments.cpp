// The show on machines it was not made for: no sound card, a driver without
// shaders, window sizes from nothing to the driver's limit, and a user who
// quits at any moment. Each must end with a clear message, no crash and
// the right exit status. (No display at all is covered in test_show_process.)
#include "show_boxes.h"
#include "show_process.h"

#include "app/loading_sequence.h"
#include "app/main_loop.h"
#include "app/schedule.h"
#include "app/show_assets.h"
#include "audio/music.h"
#include "platform/tick_clock.h"
#include "window/gl_window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool underAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool underAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool underAddressSanitizer = false;
#endif

const char* const offline = "--window --width=32 --height=18 --fps=1 --benchmark";

struct EnvironmentCase {
    const char* name;
    std::string args;
    const char* env;
    int status;
    std::vector<ShownBox> boxes; // a CG-Error box is compared on its first line
    const char* stderrHas;       // a diagnostic line beside the boxes, or ""
    double minSeconds;           // a live run that must have played to its end
    bool fullShow;               // an offline run that must reach its end report
};

void PrintTo(const EnvironmentCase& c, std::ostream* os) { *os << c.name; }

class Hostile : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(Hostile, EndsWithAClearMessageAndTheRightStatus)
{
    const EnvironmentCase& c = GetParam();
    if (underAddressSanitizer && c.args.find("16384 ") != std::string::npos)
        GTEST_SKIP() << "the sanitizer build leaves this minute of software rendering to the plain suite";
    const auto began = std::chrono::steady_clock::now();
    const ShowRun r = runShowProcess(c.args, c.env);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    ASSERT_NE(r.status, -1) << "the show crashed\n" << r.err;
    EXPECT_EQ(r.status, c.status) << r.err;

    std::vector<ShownBox> boxes = boxesIn(r.err);
    for (ShownBox& b : boxes)
        if (b.caption == "CG-Error")
            b.text = b.text.substr(0, b.text.find('\n'));
    EXPECT_EQ(boxes, c.boxes) << r.err;
    if (*c.stderrHas) {
        EXPECT_NE(r.err.find(c.stderrHas), std::string::npos) << r.err;
    }
    EXPECT_GE(seconds, c.minSeconds) << "a live run from 84 s must play its last 2 s";
    if (c.fullShow) {
        EXPECT_NE(r.out.find("Quorblestration 9 benchmark"), std::string::npos) << r.out << r.err;
    }
}

const std::vector<ShownBox> noBoxes;
const ShownBox noGlsl{"CG-Error", "The OpenGL driver does not offer GLSL 1.20."};

INSTANTIATE_TEST_SUITE_P(
    Environments, Hostile,
    ::testing::Values(
        // Music needs an output device; without one the show plays silent.
        EnvironmentCase{"noAudioDevice", "--window --width=32 --height=18 --start=84000", "SDL_AUDIODRIVER=q9-none", 0,
                        {{"BASS", "BASS error"},
                         {"BASS", "BASS error, file not found?"},
                         {"BASS", "BASS error, can not play stream?"}},
                        "", 2.0, false},
        // Mesa's overrides stand in for old drivers. OpenGL 1.4 still gets a
        // context and the loading screen; the shader setup then says why it stops.
        EnvironmentCase{"openGl14", offline, "MESA_GL_VERSION_OVERRIDE=1.4", 1, {noGlsl},
                        "the driver offers OpenGL 1.4", 0, false},
        EnvironmentCase{"openGl21WithoutGlsl", offline, "MESA_GL_VERSION_OVERRIDE=2.1 MESA_GLSL_VERSION_OVERRIDE=110",
                        1, {noGlsl}, "with GLSL \"none\"", 0, false},
        EnvironmentCase{"zeroSize", "--window --width=0 --height=0", "", 1,
                        {{"GLWindow::GLWindow", "Invalid window size 0 x 0: width and height must be positive"}}, "", 0,
                        false},
        EnvironmentCase{"negativeWidth", "--window --width=-640 --height=360", "", 1,
                        {{"GLWindow::GLWindow", "Invalid window size -640 x 360: width and height must be positive"}},
                        "", 0, false},
        EnvironmentCase{"onePixel", "--window --width=1 --height=1 --fps=1 --benchmark", "", 0, noBoxes, "", 0, true},
        // The largest window the video layer makes: loading at 16384 x 16384
        // (about 4.5 GB with the render targets) and the end of the show.
        EnvironmentCase{"largest", "--window --width=16384 --height=16384 --start=86000", "", 0, noBoxes, "", 0, false},
        // One pixel more: the window itself cannot be made, which shows no box.
        EnvironmentCase{"overTheLimit", "--window --width=16385 --height=16", "", 1, noBoxes, "Window is too large", 0,
                        false}),
    [](const ::testing::TestParamInfo<EnvironmentCase>& info) { return std::string(info.param.name); });

// Quitting in process: the show's own loading sequence, main loop and
// teardown, with the events a user makes (Escape, closing the window, a
// quit request) put into the real event queue at an exact frame. A closed
// window or quit request is handled when the next frame is presented (that
// frame is drawn, never shown); Escape is also seen by the key poll. The
// window's present hook marks the frame; the virtual clock moves 100 ms per
// presented show frame, as an offline run at 10 frames per second would.
enum class QuitBy { escape, windowClose, quitRequest };

struct QuitCase {
    const char* name;
    QuitBy by;
    int loadingFrame; // quit during this presented loading frame, or 0
    int showTime;     // else at the first show frame at or after this time
};

void PrintTo(const QuitCase& c, std::ostream* os) { *os << c.name; }

void pushQuit(QuitBy by, GLWindow& window)
{
    SDL_Event e{};
    const Uint32 id = SDL_GetWindowID(static_cast<SDL_Window*>(window.nativeHandle()));
    switch (by) {
    case QuitBy::escape:
        e.type = SDL_KEYDOWN;
        e.key.windowID = id;
        e.key.state = SDL_PRESSED;
        e.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
        e.key.keysym.sym = SDLK_ESCAPE;
        break;
    case QuitBy::windowClose:
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = id;
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        break;
    case QuitBy::quitRequest: e.type = SDL_QUIT; break;
    }
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

class HostileQuitInProcess : public ::testing::TestWithParam<QuitCase> {};

TEST_P(HostileQuitInProcess, EndsBeforeAnotherFrameAndTearsDown)
{
    const QuitCase& c = GetParam();
    // Reaching the end would exit(0) from inside the schedule, which would
    // look like a pass; it means the quit was ignored.
    setShowEndHandler([] {
        std::fputs("the show ran to its end: the quit was ignored\n", stderr);
        std::_Exit(3);
    });
    setMusicOffline(true);
    platform::useVirtualClock(600000);
    char title[128] = "Quorblestration 9";
    char caption[128] = "Loading Quorblestration 9";
    const uint32_t startMs = c.loadingFrame == 0 && c.showTime > 500 ? static_cast<uint32_t>(c.showTime - 500) : 0;

    int loadingPresents = 0, showPresents = 0, showPresentsAfterQuit = 0;
    bool inShow = false, pushed = false;
    uint32_t showStart = 0, quitTime = 0;
    {
        GLWindow window(64, 36, 32, false, title, true);
        ASSERT_TRUE(window.isReady());
        window.setPresentHook([&] {
            if (!inShow) {
                if (++loadingPresents == c.loadingFrame) {
                    pushQuit(c.by, window);
                    pushed = true;
                }
                return;
            }
            ++showPresents;
            if (pushed)
                ++showPresentsAfterQuit;
            const uint32_t now = platform::getTickCount();
            if (!pushed && c.loadingFrame == 0 && now - showStart >= static_cast<uint32_t>(c.showTime)) {
                pushQuit(c.by, window);
                pushed = true;
                quitTime = now - showStart;
            }
            platform::setVirtualTime(now + 100);
        });

        ShowAssets assets;
        loadShowAssets(window, assets, caption, 64, 36);
        window.presentAndPump();
        window.startMusic("vemo.ogg", static_cast<float>(startMs / 1000.0));
        showStart = platform::getTickCount() - startMs;
        EXPECT_EQ(finishLoadingScreen(window, assets), 0);
        inShow = true;
        runMainLoop(window, assets, showStart);

        ASSERT_TRUE(pushed);
        EXPECT_TRUE(window.quitRequested() || c.by == QuitBy::escape);
        if (c.loadingFrame > 0) {
            // Loading goes on to its end; the redraw that handled the quit
            // request presented nothing (after the last one, the first show
            // frame handles it); no show frame is presented.
            EXPECT_EQ(loadingPresents, c.loadingFrame < 36 ? 35 : 36);
            EXPECT_EQ(showPresents, 0);
        } else {
            EXPECT_EQ(loadingPresents, 36);
            EXPECT_GE(quitTime, static_cast<uint32_t>(c.showTime));
            EXPECT_LT(quitTime, static_cast<uint32_t>(c.showTime) + 100);
            EXPECT_EQ(showPresentsAfterQuit, 0) << "a frame was presented after the quit";
        }
    } // models, textures, then the window, as after Escape
    shutdownMusic();
    setShowEndHandler(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, HostileQuitInProcess,
    ::testing::Values(QuitCase{"escapeAtTheFirstLoadingFrame", QuitBy::escape, 1, 0},
                      QuitCase{"closeMidLoading", QuitBy::windowClose, 18, 0},
                      QuitCase{"quitOnTheLastLoadingFrame", QuitBy::quitRequest, 36, 0},
                      QuitCase{"escapeAtTheFirstShowFrame", QuitBy::escape, 0, 0},
                      QuitCase{"closeInTheRingTunnel", QuitBy::windowClose, 0, 30000},
                      QuitCase{"escapeInTheShaderScene", QuitBy::escape, 0, 60000},
                      QuitCase{"quitJustBeforeTheEnd", QuitBy::quitRequest, 0, 85800}),
    [](const ::testing::TestParamInfo<QuitCase>& info) { return std::string(info.param.name); });

// The real executable asked to quit from outside: SDL turns SIGTERM into
// the same quit request a closed window gives. An offline run writes one
// PNG per presented frame, so the test can wait for a given frame.
struct SignalCase {
    const char* name;
    const char* waitFor; // the frame file after which the signal is sent
    bool duringLoading;
};

void PrintTo(const SignalCase& c, std::ostream* os) { *os << c.name; }

class HostileQuitBySignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(HostileQuitBySignal, EndsCleanlyWithStatusZero)
{
    const SignalCase& c = GetParam();
    const fs::path dir = fs::temp_directory_path() / ("q9_sigterm_" + std::string(c.name) + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    const fs::path errFile = dir.string() + ".err";
    const std::string framesArg = "--frames=" + dir.string();

    const pid_t pid = ::fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) {
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int out = ::open("/dev/null", O_WRONLY);
        if (err < 0 || out < 0 || ::chdir(Q9_RUN_DIR) != 0)
            ::_exit(126);
        ::dup2(err, 2);
        ::dup2(out, 1);
        const std::string exe = std::string(Q9_RUN_DIR) + "/quorblestration9";
        ::execl(exe.c_str(), exe.c_str(), "--window", "--width=32", "--height=18", "--fps=1", framesArg.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }

    int raw = 0;
    bool exited = false;
    bool signalled = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!signalled && fs::exists(dir / c.waitFor)) {
            ASSERT_EQ(::kill(pid, SIGTERM), 0);
            signalled = true;
        }
        if (::waitpid(pid, &raw, WNOHANG) == pid) {
            exited = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!exited) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &raw, 0);
    }
    std::ifstream errIn(errFile);
    const std::string err((std::istreambuf_iterator<char>(errIn)), std::istreambuf_iterator<char>());
    int showFrames = 0;
    if (fs::exists(dir))
        for (const auto& e : fs::directory_iterator(dir))
            showFrames += e.path().filename().string().rfind("frame_", 0) == 0;
    fs::remove_all(dir);
    fs::remove(errFile);

    ASSERT_TRUE(exited) << "the show did not end within 3 minutes";
    ASSERT_TRUE(signalled) << "the show ended before " << c.waitFor << " appeared\n" << err;
    ASSERT_TRUE(WIFEXITED(raw)) << "ended by signal " << (WIFSIGNALED(raw) ? WTERMSIG(raw) : 0) << "\n" << err;
    EXPECT_EQ(WEXITSTATUS(raw), 0) << err;
    EXPECT_EQ(err.find("wrote"), std::string::npos) << "a stopped run reported a finished one\n" << err;
    if (c.duringLoading)
        EXPECT_EQ(showFrames, 0);
    else
        EXPECT_LT(showFrames, 86) << "the show ran to its end";
    EXPECT_TRUE(boxesIn(err).empty()) << err;
}

INSTANTIATE_TEST_SUITE_P(Moments, HostileQuitBySignal,
                         ::testing::Values(SignalCase{"midLoading", "loading_05.png", true},
                                           SignalCase{"midShow", "frame_000010.png", false}),
                         [](const ::testing::TestParamInfo<SignalCase>& info) { return std::string(info.param.name); });

} // namespace

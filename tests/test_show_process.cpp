#include "show_process.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {
namespace fs = std::filesystem;

fs::path freshDir(const char* name)
{
    const fs::path dir = fs::temp_directory_path() / (std::string("q9_") + name + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    return dir;
}

// Mean colour of a PNG, as 0..255 per channel.
std::array<double, 3> meanColour(const fs::path& png)
{
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> raw(IMG_Load(png.c_str()), SDL_FreeSurface);
    if (!raw)
        return {-1, -1, -1};
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> s(
        SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGB24, 0), SDL_FreeSurface);
    std::array<double, 3> sum{};
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            for (int c = 0; c < 3; ++c)
                sum[c] += static_cast<const uint8_t*>(s->pixels)[y * s->pitch + 3 * x + c];
    for (double& v : sum)
        v /= static_cast<double>(s->w) * s->h;
    return sum;
}

TEST(ShowProcess, OfflineRunWritesEveryFrameAndTheFade)
{
    const fs::path dir = freshDir("frames2");
    const ShowRun r = runShowProcess("--window --width=64 --height=36 --fps=2 --frames=" + dir.string());
    ASSERT_EQ(r.status, 0) << r.err;
    int frames = 0;
    for (const auto& e : fs::directory_iterator(dir))
        frames += e.path().filename().string().rfind("frame_", 0) == 0;
    EXPECT_EQ(frames, 172); // 0 to 85500 ms
    EXPECT_TRUE(fs::exists(dir / "frame_000171.png"));
    EXPECT_FALSE(fs::exists(dir / "frame_000172.png"));
    // Frame 2 is show time 1000 ms: half way through the fade, the same everywhere.
    const auto c = meanColour(dir / "frame_000002.png");
    EXPECT_NEAR(c[0], 0.24 * 255, 1.5);
    EXPECT_NEAR(c[1], 0.22 * 255, 1.5);
    EXPECT_NEAR(c[2], 0.425 * 255, 1.5);
    fs::remove_all(dir);
}

struct StatusCase {
    const char* name;
    const char* args;
    const char* env;
    int status;
    const char* stderrHas;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class ShowProcessStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ShowProcessStatus, ExitsWithTheRightStatusAndMessage)
{
    const StatusCase& c = GetParam();
    const ShowRun r = runShowProcess(c.args, c.env);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE((r.err + r.out).find(c.stderrHas), std::string::npos) << r.err << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShowProcessStatus,
    ::testing::Values(
        StatusCase{"widthNotANumber", "--window --width=abc", "", 1, "GLWindow::GLWindow: Invalid window size 0 x 1080"},
        StatusCase{"negativeHeight", "--window --width=640 --height=-5", "", 1, "GLWindow::GLWindow: Invalid window size 640 x -5"},
        StatusCase{"help", "--help", "", 0, "Escape ends the show"},
        StatusCase{"version", "--version", "", 0, "Quorblestration 9 "},
        StatusCase{"badFps", "--frames=/tmp/x --fps=0", "", 1, "--fps takes"},
        StatusCase{"noDisplay", "--window --width=64 --height=36", "SDL_VIDEODRIVER=x11 DISPLAY=:97", 1, "GLWindow::GLWindow: Unable to register window class"}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.name); });

} // namespace

// The whole show offline at a small size: every frame is written, and each
// segment's frames look like that segment.
#include "show_process.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

namespace {
namespace fs = std::filesystem;

constexpr int W = 320, H = 180, fps = 4;

// An RGB picture, rows top first.
struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * w + x) * 3]; }
};

Picture load(const fs::path& file)
{
    Picture p;
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> raw(IMG_Load(file.c_str()), SDL_FreeSurface);
    if (!raw)
        return p;
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> s(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGB24, 0),
                                                              SDL_FreeSurface);
    p.w = s->w;
    p.h = s->h;
    p.rgb.resize(static_cast<size_t>(p.w) * p.h * 3);
    for (int y = 0; y < p.h; ++y)
        std::memcpy(&p.rgb[static_cast<size_t>(y) * p.w * 3], static_cast<uint8_t*>(s->pixels) + y * s->pitch,
                    static_cast<size_t>(p.w) * 3);
    return p;
}

// Mean of one channel-summed brightness over a rectangle given in fractions.
double meanBrightness(const Picture& p, double x0, double y0, double x1, double y1)
{
    double sum = 0;
    int n = 0;
    for (int y = static_cast<int>(y0 * p.h); y < static_cast<int>(y1 * p.h); ++y)
        for (int x = static_cast<int>(x0 * p.w); x < static_cast<int>(x1 * p.w); ++x, ++n)
            sum += (p.at(x, y)[0] + p.at(x, y)[1] + p.at(x, y)[2]) / 3.0;
    return n ? sum / n : 0.0;
}

// How far a frame is from a picture stretched over it, compared in a coarse
// grid of block means so that filtering does not count.
double differenceFromPicture(const Picture& frame, const Picture& picture)
{
    constexpr int gx = 16, gy = 9;
    double diff = 0;
    for (int by = 0; by < gy; ++by)
        for (int bx = 0; bx < gx; ++bx)
            for (int c = 0; c < 3; ++c) {
                auto block = [&](const Picture& p) {
                    double s = 0;
                    int n = 0;
                    for (int y = by * p.h / gy; y < (by + 1) * p.h / gy; ++y)
                        for (int x = bx * p.w / gx; x < (bx + 1) * p.w / gx; ++x, ++n)
                            s += p.at(x, y)[c];
                    return s / n;
                };
                diff += std::fabs(block(frame) - block(picture));
            }
    return diff / (gx * gy * 3);
}

// The fraction of pixels, outside the bar bands, brighter than `level`.
double litFraction(const Picture& p, int level = 40)
{
    int lit = 0, n = 0;
    for (int y = p.h / 8 + 2; y < p.h - p.h / 8 - 2; ++y)
        for (int x = 0; x < p.w; ++x, ++n)
            lit += p.at(x, y)[0] + p.at(x, y)[1] + p.at(x, y)[2] > 3 * level;
    return static_cast<double>(lit) / n;
}

// The bright chrome edge of each bar: just inside y = -0.75 and y = 0.75.
double barEdgeBrightness(const Picture& p)
{
    const int bottomEdge = static_cast<int>(std::lround(p.h * 0.875));
    const int topEdge = static_cast<int>(std::lround(p.h * 0.125));
    return std::min(meanBrightness(p, 0.1, (bottomEdge) / double(p.h), 0.9, (bottomEdge + 2) / double(p.h)),
                    meanBrightness(p, 0.1, (topEdge - 2) / double(p.h), 0.9, topEdge / double(p.h)));
}

class WholeShow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = fs::temp_directory_path() / ("q9_whole_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        run = runShowProcess("--window --width=320 --height=180 --fps=4 --frames=" + dir.string());
    }
    static void TearDownTestSuite() { fs::remove_all(dir); }
    static Picture frameAt(uint32_t t) { return load(dir / ("frame_" + std::string(6 - std::to_string(t * fps / 1000).size(), '0') + std::to_string(t * fps / 1000) + ".png")); }
    static inline fs::path dir;
    static inline ShowRun run;
};

TEST_F(WholeShow, ExitsZeroAfterTheLastFrameBeforeTheEnd)
{
    ASSERT_EQ(run.status, 0) << run.err;
    int frames = 0, loading = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        frames += e.path().filename().string().rfind("frame_", 0) == 0;
        loading += e.path().filename().string().rfind("loading_", 0) == 0;
    }
    EXPECT_EQ(frames, 86 * fps); // 0 to 85750 ms
    EXPECT_EQ(loading, 35);
    EXPECT_TRUE(run.err.find("Error") == std::string::npos) << run.err; // no message box
}

TEST_F(WholeShow, FadeFramesAreTheFadeColour)
{
    for (uint32_t t : {0u, 500u, 1000u, 1750u}) {
        const Picture p = frameAt(t);
        ASSERT_EQ(p.w, W);
        const float f = static_cast<float>(t / 2000.0);
        for (auto [x, y] : {std::pair{0, 0}, std::pair{W / 2, H / 2}, std::pair{W - 1, H - 1}}) {
            EXPECT_NEAR(p.at(x, y)[0], 255 * static_cast<float>(0.48 * f), 1.5) << t;
            EXPECT_NEAR(p.at(x, y)[2], 255 * static_cast<float>(0.85 * f), 1.5) << t;
        }
    }
}

TEST_F(WholeShow, PictureSegmentsShowTheirPictures)
{
    struct Shown {
        uint32_t t;
        const char* picture;
    };
    for (const Shown s : {Shown{2000, "data/c64_1.jpg"}, Shown{10750, "data/c64_1.jpg"}, Shown{23000, "data/doom.jpg"},
                          Shown{37000, "data/rushed.png"}, Shown{44000, "data/credits.jpg"},
                          Shown{70000, "data/ansigirl.jpg"}}) {
        const Picture frame = frameAt(s.t);
        const Picture picture = load(fs::path(Q9_RUN_DIR) / s.picture);
        ASSERT_GT(picture.w, 0) << s.picture;
        EXPECT_LT(differenceFromPicture(frame, picture), 12.0) << s.t << " " << s.picture;
        // ...and not some other picture.
        const Picture other = load(fs::path(Q9_RUN_DIR) / "data/greets.jpg");
        EXPECT_GT(differenceFromPicture(frame, other), 20.0) << s.t;
    }
}

TEST_F(WholeShow, SceneSegmentsAreNotBlack)
{
    for (uint32_t t : {12000u, 14000u, 17000u, 21000u, 26000u, 31000u, 34000u, 36000u, 49000u, 51000u, 53000u, 56000u,
                       65000u, 74000u, 79000u, 81000u, 85750u}) {
        const Picture p = frameAt(t);
        ASSERT_EQ(p.w, W) << t;
        EXPECT_GT(litFraction(p), 0.001) << "show time " << t << " looks black";
    }
    // The star field: many faint sprites rather than a few bright shapes.
    for (uint32_t t : {41000u, 43000u})
        EXPECT_GT(litFraction(frameAt(t), 12), 0.0004) << "no stars at " << t;
}

TEST_F(WholeShow, BarsFollowTheTable)
{
    for (uint32_t t : {16000u, 22750u, 33000u, 36750u, 48000u, 53750u, 54000u, 69750u, 72000u, 79750u, 80000u, 85750u})
        EXPECT_GT(barEdgeBrightness(frameAt(t)), 80.0) << "bars missing at " << t;
    for (uint32_t t : {25000u, 29000u, 32750u, 40000u, 43750u})
        EXPECT_LT(barEdgeBrightness(frameAt(t)), 20.0) << "bars where none belong at " << t;
}

TEST(WholeShowStart, StartAtFiftyFourSecondsShowsTheBumpMappedMeshFirst)
{
    const fs::path dir = fs::temp_directory_path() / ("q9_start_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    const ShowRun r = runShowProcess("--window --width=320 --height=180 --fps=4 --start=54000 --frames=" + dir.string());
    ASSERT_EQ(r.status, 0) << r.err;
    int frames = 0;
    for (const auto& e : fs::directory_iterator(dir))
        frames += e.path().filename().string().rfind("frame_", 0) == 0;
    EXPECT_EQ(frames, 32 * fps);
    const Picture first = load(dir / "frame_000000.png");
    EXPECT_GT(litFraction(first), 0.001);        // the mesh
    EXPECT_GT(barEdgeBrightness(first), 80.0);   // segment 14 has bars
    // The slimy mesh sits in the middle of a black frame.
    EXPECT_LT(meanBrightness(first, 0.0, 0.2, 0.15, 0.8), 5.0);
    EXPECT_GT(meanBrightness(first, 0.4, 0.35, 0.6, 0.65), 10.0);
    fs::remove_all(dir);
}

TEST(WholeShowAssets, WithoutTheGreetingsPictureTheShowLooksTheSame)
{
    // greets.jpg is loaded but never drawn.
    const fs::path work = fs::temp_directory_path() / ("q9_nogreets_" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    fs::copy(fs::path(Q9_RUN_DIR) / "data", work / "data", fs::copy_options::recursive);
    fs::copy(fs::path(Q9_RUN_DIR) / "demofont.glf", work / "demofont.glf");
    fs::copy(fs::path(Q9_RUN_DIR) / "vemo.ogg", work / "vemo.ogg");
    const std::string args = "--window --width=96 --height=54 --fps=1 --frames=";
    const ShowRun with = runShowProcess(args + (work / "with").string(), "", work.string());
    fs::remove(work / "data" / "greets.jpg");
    const ShowRun without = runShowProcess(args + (work / "without").string(), "", work.string());
    ASSERT_EQ(with.status, 0) << with.err;
    ASSERT_EQ(without.status, 0) << without.err;
    int compared = 0;
    for (const auto& e : fs::directory_iterator(work / "with")) {
        const std::string name = e.path().filename().string();
        if (name.rfind("frame_", 0) != 0)
            continue;
        const Picture a = load(e.path()), b = load(work / "without" / name);
        ASSERT_EQ(a.rgb.size(), b.rgb.size()) << name;
        EXPECT_EQ(a.rgb, b.rgb) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 86);
    fs::remove_all(work);
}

} // namespace

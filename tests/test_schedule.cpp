#include "app/loading_sequence.h"
#include "app/schedule.h"
#include "app/show_assets.h"
#include "gl_test_support.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct ScheduleCase {
    uint32_t t;
    int segment;
    uint32_t local;
    bool bars;
};

void PrintTo(const ScheduleCase& c, std::ostream* os) { *os << "t=" << c.t; }

class ScheduleTable : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(ScheduleTable, PicksTheSegmentAndItsLocalTime)
{
    const ScheduleCase& c = GetParam();
    EXPECT_EQ(segmentAt(c.t), c.segment);
    if (c.segment <= 17) {
        EXPECT_EQ(segmentLocalTime(c.t), c.local);
        EXPECT_EQ(segmentHasBars(c.segment), c.bars);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ScheduleTable,
    ::testing::Values(ScheduleCase{0, 1, 0, false}, ScheduleCase{1999, 1, 1999, false}, ScheduleCase{2000, 2, 2000, false},
                      ScheduleCase{10999, 2, 10999, false},
                      // The first tunnel is measured from 10000, not from its start.
                      ScheduleCase{11000, 3, 1000, false}, ScheduleCase{15999, 3, 5999, false},
                      ScheduleCase{16000, 4, 16000, true}, ScheduleCase{22999, 4, 22999, true},
                      ScheduleCase{23000, 5, 0, false}, ScheduleCase{24999, 5, 1999, false},
                      ScheduleCase{25000, 6, 25000, false}, ScheduleCase{33000, 7, 0, true},
                      ScheduleCase{37000, 8, 37000, false}, ScheduleCase{40000, 9, 0, false},
                      ScheduleCase{44000, 10, 44000, false}, ScheduleCase{48000, 11, 0, true},
                      ScheduleCase{49999, 11, 1999, true}, ScheduleCase{50000, 12, 0, true},
                      ScheduleCase{52000, 13, 0, true}, ScheduleCase{53999, 13, 1999, true},
                      ScheduleCase{54000, 14, 54000, true}, ScheduleCase{69999, 14, 69999, true},
                      ScheduleCase{70000, 15, 0, false},
                      // The wobble gets the show time itself, with its absolute start 72000.
                      ScheduleCase{72000, 16, 72000, true}, ScheduleCase{79999, 16, 79999, true},
                      ScheduleCase{80000, 17, 80000, true}, ScheduleCase{85999, 17, 85999, true},
                      ScheduleCase{86000, 18, 0, false}, ScheduleCase{0xFFFFFFFFu, 18, 0, false}));

TEST(Schedule, FadeSetsTheClearColour)
{
    GlTestWindow w(16, 16);
    ASSERT_TRUE(w.isReady());
    ShowAssets none; // the fade needs no asset
    drawShowFrame(1999, none);
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    const float f = static_cast<float>(1999 / 2000.0);
    EXPECT_FLOAT_EQ(clear[0], static_cast<float>(0.48 * f));
    EXPECT_FLOAT_EQ(clear[1], static_cast<float>(0.44 * f));
    EXPECT_FLOAT_EQ(clear[2], static_cast<float>(0.85 * f));
    const auto px = readPixel(8, 8);
    EXPECT_NEAR(px[2], 0.85 * f * 255, 1.0);
}

TEST(ScheduleDeath, EndOfTheShowExitsWithZero)
{
    EXPECT_EXIT(
        {
            ShowAssets none;
            drawShowFrame(86000, none);
        },
        ::testing::ExitedWithCode(0), "");
}

struct LoadingRecord {
    int count;
    std::string status;
};

TEST(LoadingSequence, ThirtyFiveUpdatesWithTheirStatusLines)
{
    GlTestWindow w(800, 600);
    ASSERT_TRUE(w.isReady());
    std::vector<std::string> boxes;
    platform::setMessageBoxObserver([&](const std::string& c, const std::string& t) { boxes.push_back(c + ": " + t); });
    ShowAssets assets;
    std::vector<LoadingRecord> seen;
    w.window.setPresentHook([&] {
        seen.push_back({assets.progress->count, assets.progress->status.value_or("")});
    });
    char caption[128] = "Loading Quorblestration 9";
    loadShowAssets(w.window, assets, caption, 800, 600);
    EXPECT_EQ(finishLoadingScreen(w.window, assets), 0); // exactly as planned: no warning, no wait
    platform::setMessageBoxObserver(nullptr);
    EXPECT_TRUE(boxes.empty()) << boxes.front();

    ASSERT_EQ(seen.size(), 35u);
    auto expected = [](int k) -> std::string {
        if (k <= 19)
            return "Textures";
        if (k <= 26)
            return "Models...";
        if (k == 27)
            return "Setting up shaders";
        if (k <= 31)
            return "Render targets";
        if (k <= 33)
            return "Precalcing...";
        return "Music...";
    };
    for (int k = 1; k <= 35; ++k) {
        EXPECT_EQ(seen[k - 1].count, k);
        EXPECT_EQ(seen[k - 1].status, expected(k)) << "update " << k;
    }
    EXPECT_EQ(assets.frameTarget->width, 800);
    EXPECT_EQ(assets.frameTarget->height, 600);
    EXPECT_EQ(assets.glowTarget->width, 128);
    EXPECT_EQ(assets.glowTarget->height, 128);
    ASSERT_GT(assets.spikeballA->meshCount, 0);
    EXPECT_EQ(assets.twistWeights.size(), static_cast<size_t>(assets.spikeballA->meshes[0]->vertexCount));
    EXPECT_EQ(assets.ringsA.base[59], static_cast<float>(59 * 0.1));
}

TEST(LoadingSequence, MissingSlimyShowsTheBoxTwiceAndGoesOn)
{
    namespace fs = std::filesystem;
    // A copy of the run folder without slimy.ebr.
    const fs::path dir = fs::temp_directory_path() / ("q9_noslimy_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(fs::path(Q9_RUN_DIR) / "data", dir / "data", fs::copy_options::recursive);
    fs::remove(dir / "data" / "slimy.ebr");
    const fs::path previous = fs::current_path();
    fs::current_path(dir);

    GlTestWindow w(64, 48);
    ASSERT_TRUE(w.isReady());
    std::vector<std::string> boxes;
    platform::setMessageBoxObserver([&](const std::string& c, const std::string& t) { boxes.push_back(c + ": " + t); });
    ShowAssets assets;
    char caption[128] = "Loading Quorblestration 9";
    loadShowAssets(w.window, assets, caption, 64, 48);
    platform::setMessageBoxObserver(nullptr);
    fs::current_path(previous);
    fs::remove_all(dir);

    EXPECT_EQ(boxes, (std::vector<std::string>{"data/slimy.ebr: Error: .ebr file not found",
                                               "data/slimy.ebr: Error: .ebr file not found"}));
    EXPECT_EQ(assets.slimyA->meshCount, 0);
    EXPECT_EQ(assets.progress->count, 34);
    ASSERT_GT(assets.rarkube->meshCount, 0); // loading went on
}

} // namespace

#include "app/options.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct ArgCase {
    const char* name;
    std::vector<std::string> args;
    bool fullscreen;
    int width;
    int height;
};

void PrintTo(const ArgCase& c, std::ostream* os) { *os << c.name; }

class OptionsScan : public ::testing::TestWithParam<ArgCase> {};

TEST_P(OptionsScan, GivesWindowSettings)
{
    const ArgCase& c = GetParam();
    std::vector<std::string> args = {"quorblestration9"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ShowOptions o = scanArguments(args);
    EXPECT_EQ(o.fullscreen, c.fullscreen);
    EXPECT_EQ(o.width, c.width);
    EXPECT_EQ(o.height, c.height);
    EXPECT_TRUE(o.error.empty());
}

const std::string longDigits = "--width=" + std::string(5000, '7');
const std::string cutAtBuffer = "--width=" + std::string(1015 - 3, ' ') + "640" + "999";

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionsScan,
    ::testing::Values(ArgCase{"none", {}, true, 1920, 1080},
                      ArgCase{"windowed720", {"--window", "--width=1280", "--height=720"}, false, 1280, 720},
                      ArgCase{"laterWins", {"--window", "--fullscreen"}, true, 1920, 1080},
                      ArgCase{"laterWidthWins", {"--width=800", "--width=640"}, true, 640, 1080},
                      ArgCase{"emptyWidthKeeps", {"--width="}, true, 1920, 1080},
                      ArgCase{"lettersGiveZero", {"--width=abc"}, true, 0, 1080},
                      ArgCase{"digitsThenLetters", {"--width=800abc"}, true, 800, 1080},
                      ArgCase{"blanksAndSign", {"--height=  -5"}, true, 1920, -5},
                      ArgCase{"plusSign", {"--height=+600"}, true, 1920, 600},
                      ArgCase{"capitalIgnored", {"--Window"}, true, 1920, 1080},
                      ArgCase{"singleDashIgnored", {"-window"}, true, 1920, 1080},
                      ArgCase{"notWhole", {"--windowed"}, true, 1920, 1080},
                      ArgCase{"heightWithoutEquals", {"--heightX720"}, true, 1920, 1080},
                      ArgCase{"overflowSaturates", {longDigits}, true, INT_MAX, 1080},
                      // Only the first 1023 bytes are looked at: the trailing 999 is cut off.
                      ArgCase{"cutAt1023", {cutAtBuffer}, true, 640, 1080}),
    [](const ::testing::TestParamInfo<ArgCase>& info) { return std::string(info.param.name); });

TEST(OptionsScan, ScansFromElementZero)
{
    // The command name is scanned like every other element.
    const ShowOptions o = scanArguments({"--window"});
    EXPECT_FALSE(o.fullscreen);
}

TEST(OptionsViewer, ParsesExtras)
{
    const ShowOptions o =
        scanArguments({"q9", "--frames=out", "--fps=4", "--start=54000", "--record=a.mp4", "--benchmark"});
    EXPECT_EQ(o.framesDir, "out");
    EXPECT_EQ(o.fps, 4);
    EXPECT_EQ(o.startMs, 54000u);
    EXPECT_EQ(o.recordFile, "a.mp4");
    EXPECT_TRUE(o.benchmark);
    EXPECT_TRUE(o.offline());
    EXPECT_TRUE(o.error.empty());
}

TEST(OptionsViewer, RefusesUnusableValues)
{
    for (const char* bad : {"--fps=0", "--fps=abc", "--fps=", "--start=-1", "--start=90000", "--frames=", "--record="})
        EXPECT_FALSE(scanArguments({"q9", bad}).error.empty()) << bad;
}

TEST(OptionsAtoi, MatchesTheCLibraryWithinRange)
{
    for (const char* s : {"0", "42", "-17", "  12x", "\t+9", "", "x1", "2147483647", "-2147483648"})
        EXPECT_EQ(parseIntLikeAtoi(s), std::atoi(s)) << s;
    EXPECT_EQ(parseIntLikeAtoi("99999999999999999999"), INT_MAX);
    EXPECT_EQ(parseIntLikeAtoi("-99999999999999999999"), INT_MIN);
}

} // namespace

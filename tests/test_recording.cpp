// --record: a real ffmpeg run, and what happens without one.
#include "app/video_recorder.h"
#include "show_process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
namespace fs = std::filesystem;

std::string probe(const fs::path& file, const char* entries, const char* streams = nullptr)
{
    std::string cmd = "ffprobe -v error ";
    if (streams)
        cmd += std::string("-select_streams ") + streams + " ";
    cmd += std::string("-show_entries ") + entries + " -of csv=p=0 '" + file.string() + "' 2>&1";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

TEST(Recording, ShortClipHasOneVideoAndOneAudioStreamOfTheRightLength)
{
    if (!platform::programOnPath("ffmpeg") || !platform::programOnPath("ffprobe"))
        GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path file = fs::temp_directory_path() / ("q9_clip_" + std::to_string(::getpid()) + ".mp4");
    fs::remove(file);
    const ShowRun r = runShowProcess("--window --width=64 --height=36 --fps=10 --start=84000 --record=" + file.string());
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(probe(file, "stream=codec_type"), "video\naudio\n");
    EXPECT_EQ(probe(file, "stream=nb_frames", "v:0"), "20\n"); // 84000 to 85900 ms at 10 fps
    const double audioSeconds = std::stod(probe(file, "stream=duration", "a:0"));
    EXPECT_NEAR(audioSeconds, 2.0, 0.1);
    for (const auto& e : fs::directory_iterator(file.parent_path()))
        EXPECT_EQ(e.path().filename().string().find(file.filename().string() + ".partial"), std::string::npos);
    fs::remove(file);
}

TEST(Recording, WithoutFfmpegSaysSoAndLeavesNoFile)
{
    const fs::path file = fs::temp_directory_path() / ("q9_noffmpeg_" + std::to_string(::getpid()) + ".mp4");
    fs::remove(file);
    const ShowRun r = runShowProcess("--window --width=64 --height=36 --record=" + file.string(), "PATH=/q9-nowhere");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ffmpeg was not found"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file.parent_path() / ("." + file.filename().string() + ".partial")));
}

TEST(Recording, ContainerFollowsTheExtension)
{
    std::string error;
    const auto mp4 = VideoRecorder::commandFor("a.MP4", ".a.partial", 64, 36, 30, 1500, "vemo.ogg", error);
    ASSERT_FALSE(mp4.empty());
    auto has = [](const std::vector<std::string>& cmd, const std::string& a, const std::string& b) {
        for (size_t i = 0; i + 1 < cmd.size(); ++i)
            if (cmd[i] == a && cmd[i + 1] == b)
                return true;
        return false;
    };
    EXPECT_TRUE(has(mp4, "-c:v", "libx264"));
    EXPECT_TRUE(has(mp4, "-c:a", "aac"));
    EXPECT_TRUE(has(mp4, "-f", "mp4"));
    EXPECT_TRUE(has(mp4, "-ss", "1.500")); // the music starts where the picture does
    const auto webm = VideoRecorder::commandFor("a.webm", ".a.partial", 64, 36, 30, 0, "vemo.ogg", error);
    EXPECT_TRUE(has(webm, "-c:v", "libvpx-vp9"));
    EXPECT_TRUE(has(webm, "-c:a", "libopus"));
    const auto mkv = VideoRecorder::commandFor("a.mkv", ".a.partial", 64, 36, 30, 0, "", error);
    EXPECT_TRUE(has(mkv, "-f", "matroska"));
    EXPECT_FALSE(has(mkv, "-map", "1:a")); // no music file, no audio stream
    EXPECT_TRUE(VideoRecorder::commandFor("a.gif", ".a.partial", 64, 36, 30, 0, "", error).empty());
    EXPECT_NE(error.find(".mp4, .mkv or .webm"), std::string::npos);
}

} // namespace

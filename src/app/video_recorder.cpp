#include "app/video_recorder.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string lowerExtension(const std::string& file)
{
    const size_t slash = file.find_last_of('/');
    const size_t dot = file.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string ext = file.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

std::string partialPathFor(const std::string& file)
{
    const size_t slash = file.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "" : file.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    return dir + "." + name + ".partial";
}

bool fileExists(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0;
}
} // namespace

std::vector<std::string> VideoRecorder::commandFor(const std::string& file, const std::string& partialFile, int width,
                                                   int height, int fps, uint32_t startMs, const std::string& music,
                                                   std::string& error)
{
    const std::string ext = lowerExtension(file);
    std::string container, videoCodec, audioCodec;
    std::vector<std::string> videoOptions;
    if (ext == "mp4" || ext == "m4v" || ext == "mov") {
        container = "mp4";
        videoCodec = "libx264";
        audioCodec = "aac";
        videoOptions = {"-preset", "medium", "-crf", "18", "-pix_fmt", "yuv420p", "-movflags", "+faststart"};
    } else if (ext == "mkv") {
        container = "matroska";
        videoCodec = "libx264";
        audioCodec = "libvorbis";
        videoOptions = {"-preset", "medium", "-crf", "18", "-pix_fmt", "yuv420p"};
    } else if (ext == "webm") {
        container = "webm";
        videoCodec = "libvpx-vp9";
        audioCodec = "libopus";
        videoOptions = {"-crf", "30", "-b:v", "0", "-row-mt", "1", "-pix_fmt", "yuv420p"};
    } else {
        error = "cannot record to '" + file + "': use a file ending in .mp4, .mkv or .webm";
        return {};
    }
    char size[32], rate[16], start[32];
    std::snprintf(size, sizeof size, "%dx%d", width, height);
    std::snprintf(rate, sizeof rate, "%d", fps);
    std::snprintf(start, sizeof start, "%u.%03u", startMs / 1000, startMs % 1000);
    std::vector<std::string> cmd = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                    "-f", "rawvideo", "-pix_fmt", "rgba", "-video_size", size, "-framerate", rate,
                                    "-i", "pipe:0"};
    const bool withMusic = !music.empty();
    if (withMusic)
        cmd.insert(cmd.end(), {"-ss", start, "-i", music});
    cmd.insert(cmd.end(), {"-map", "0:v"});
    if (withMusic)
        cmd.insert(cmd.end(), {"-map", "1:a", "-shortest"});
    // Frames arrive bottom row first; codecs want even sizes.
    cmd.insert(cmd.end(), {"-vf", "vflip,pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", videoCodec});
    cmd.insert(cmd.end(), videoOptions.begin(), videoOptions.end());
    if (withMusic)
        cmd.insert(cmd.end(), {"-c:a", audioCodec, "-b:a", "192k"});
    cmd.insert(cmd.end(), {"-f", container, partialFile});
    return cmd;
}

VideoRecorder::~VideoRecorder()
{
    if (active() || (!partial.empty() && fileExists(partial)))
        abandon();
}

bool VideoRecorder::start(const std::string& file, int width, int height, int fps, uint32_t startMs,
                          const std::string& music, std::string& error)
{
    target = file;
    partial = partialPathFor(file);
    const std::vector<std::string> cmd =
        commandFor(file, partial, width, height, fps, startMs, fileExists(music) ? music : "", error);
    if (cmd.empty())
        return false;
    if (!child.start(cmd, error)) {
        if (!platform::programOnPath("ffmpeg"))
            error = "cannot record: ffmpeg was not found on the PATH (Debian and Ubuntu: sudo apt-get install ffmpeg)";
        partial.clear();
        return false;
    }
    return true;
}

bool VideoRecorder::writeFrame(const uint8_t* rgba, size_t bytes) { return child.write(rgba, bytes); }

bool VideoRecorder::finish(std::string& error)
{
    if (!child.finish()) {
        error = "ffmpeg failed; no video was written";
        abandon();
        return false;
    }
    if (std::rename(partial.c_str(), target.c_str()) != 0) {
        error = "cannot move the finished video to '" + target + "'";
        abandon();
        return false;
    }
    partial.clear();
    return true;
}

void VideoRecorder::abandon()
{
    if (child.running())
        child.finish();
    if (!partial.empty())
        unlink(partial.c_str());
    partial.clear();
}

// Encodes offline frames and the music into a video through ffmpeg.
#pragma once
#include "platform/child_process.h"

#include <cstdint>
#include <string>

class VideoRecorder {
public:
    ~VideoRecorder(); // an unfinished recording is removed

    // The ffmpeg command line for a recording; empty when the file's
    // extension names no container we make (error says why).
    static std::vector<std::string> commandFor(const std::string& file, const std::string& partialFile, int width,
                                               int height, int fps, uint32_t startMs, const std::string& music,
                                               std::string& error);

    // Starts ffmpeg writing to a hidden partial file beside `file`.
    bool start(const std::string& file, int width, int height, int fps, uint32_t startMs, const std::string& music,
               std::string& error);
    // One frame of width x height RGBA pixels, bottom row first.
    bool writeFrame(const uint8_t* rgba, size_t bytes);
    // Waits for ffmpeg and moves the finished file into place.
    bool finish(std::string& error);
    // Stops ffmpeg and removes what it wrote.
    void abandon();

    bool active() const { return child.running(); }
    const std::string& partialPath() const { return partial; }

private:
    platform::ChildProcess child;
    std::string target;
    std::string partial;
};

// Command-line options of the show.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ShowOptions {
    bool fullscreen = true;
    int width = 1920;
    int height = 1080;

    // Viewer extras, active only when given.
    std::string framesDir;   // --frames=DIR: write every frame as PNG
    int fps = 60;            // --fps=N: virtual frame rate of offline runs
    std::string recordFile;  // --record=FILE: encode a video with ffmpeg
    uint32_t startMs = 0;    // --start=MS: begin at this show time
    bool benchmark = false;  // --benchmark: time every frame, write nothing
    bool help = false;
    bool version = false;
    std::string error;       // non-empty: the options cannot be used

    bool offline() const { return !framesDir.empty() || !recordFile.empty() || benchmark; }
};

// The C library's atoi, without its undefined overflow: leading blanks and a
// sign accepted, stops at the first non-digit, no digits gives 0, values
// beyond int saturate.
int parseIntLikeAtoi(const char* text);

// Scans every argument from the command name on; later options win; the
// four window options are matched case-sensitively on the first 1023 bytes.
ShowOptions scanArguments(const std::vector<std::string>& args);

// The --help text.
std::string usageText(const std::string& commandName);

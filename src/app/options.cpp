#include "app/options.h"

#include <climits>
#include <cstring>

int parseIntLikeAtoi(const char* text)
{
    if (!text)
        return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

namespace {
constexpr size_t conversionBuffer = 1024; // what the narrow conversion holds

bool startsWith(const std::string& s, const char* prefix)
{
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// Parses a non-negative decimal count for the viewer options; -1 when the
// text is not one.
long long parseCount(const std::string& text)
{
    if (text.empty() || text.size() > 12)
        return -1;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}
} // namespace

ShowOptions scanArguments(const std::vector<std::string>& args)
{
    ShowOptions o;
    for (const std::string& full : args) {
        // Longer arguments are cut, as the fixed conversion buffer would.
        const std::string arg = full.substr(0, conversionBuffer - 1);
        if (arg == "--fullscreen") {
            o.fullscreen = true;
        } else if (arg == "--window") {
            o.fullscreen = false;
        } else if (startsWith(arg, "--width=")) {
            if (arg.size() > 8)
                o.width = parseIntLikeAtoi(arg.c_str() + 8);
        } else if (startsWith(arg, "--height=")) {
            if (arg.size() > 9)
                o.height = parseIntLikeAtoi(arg.c_str() + 9);
        } else if (startsWith(full, "--frames=")) {
            o.framesDir = full.substr(9);
            if (o.framesDir.empty())
                o.error = "--frames needs a folder, as in --frames=shots";
        } else if (startsWith(full, "--record=")) {
            o.recordFile = full.substr(9);
            if (o.recordFile.empty())
                o.error = "--record needs a file name, as in --record=show.mp4";
        } else if (startsWith(full, "--fps=")) {
            const long long v = parseCount(full.substr(6));
            if (v < 1 || v > 1000)
                o.error = "--fps takes a whole number of frames per second from 1 to 1000, not '" + full.substr(6) + "'";
            else
                o.fps = static_cast<int>(v);
        } else if (startsWith(full, "--start=")) {
            const long long v = parseCount(full.substr(8));
            if (v < 0 || v > 86000)
                o.error = "--start takes a show time in milliseconds from 0 to 86000, not '" + full.substr(8) + "'";
            else
                o.startMs = static_cast<uint32_t>(v);
        } else if (full == "--benchmark") {
            o.benchmark = true;
        } else if (full == "--help" || full == "-h") {
            o.help = true;
        } else if (full == "--version") {
            o.version = true;
        }
        // Anything else, the command name included, is ignored.
    }
    return o;
}

std::string usageText(const std::string& commandName)
{
    return "Usage: " + commandName + " [options]\n"
           "Plays the 86-second show \"Quorblestration 9\" with its music.\n"
           "\n"
           "Window:\n"
           "  --fullscreen      switch the display to the requested size (default)\n"
           "  --window          play in a framed window instead\n"
           "  --width=N         width in pixels (default 1920)\n"
           "  --height=N        height in pixels (default 1080)\n"
           "\n"
           "Viewing and sharing:\n"
           "  --start=MS        begin at show time MS (0 to 86000)\n"
           "  --frames=DIR      render offline, writing DIR/frame_NNNNNN.png and DIR/loading_NN.png\n"
           "  --record=FILE     render offline into a video with its music (needs ffmpeg;\n"
           "                    .mp4, .mkv or .webm)\n"
           "  --fps=N           frame rate of --frames, --record and --benchmark (default 60)\n"
           "  --benchmark       time every segment offline and print a table\n"
           "  --help            show this text\n"
           "  --version         show the version\n"
           "\n"
           "Keys: Escape ends the show.\n"
           "Exit status: 0 when the show ends, after Escape or a closed window;\n"
           "             1 when the window or GL context cannot be made, a shader fails,\n"
           "               the options are unusable, or a recording fails.\n";
}

// A progress line on the terminal for offline rendering.
#pragma once
#include <chrono>
#include <cstdio>

class TerminalProgress {
public:
    TerminalProgress(const char* label, int total, std::FILE* out = stderr);
    // Frame `done` of the total has been written.
    void update(int done);
    void finish();

private:
    const char* label;
    int total;
    std::FILE* out;
    bool interactive;
    int lastTenth = -1;
    std::chrono::steady_clock::time_point began;
    std::chrono::steady_clock::time_point lastDraw;
};

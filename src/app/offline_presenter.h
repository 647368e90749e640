// Offline rendering: frames on a virtual clock, written as PNG files, piped
// into a video, or timed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class FrameTimer;
class TerminalProgress;
class VideoRecorder;

struct OfflineOutputs {
    std::string framesDir;              // PNG files; empty for none
    VideoRecorder* recorder = nullptr;  // raw frames to ffmpeg
    FrameTimer* timer = nullptr;        // --benchmark
    TerminalProgress* progress = nullptr;
};

// Installed as the window's present hooks. During loading it writes
// DIR/loading_NN.png per loading-screen update; during the show it writes
// DIR/frame_NNNNNN.png and then moves the virtual clock to the next frame.
class OfflinePresenter {
public:
    enum class Phase { loading, between, show, idle };

    OfflinePresenter(OfflineOutputs outputs, int fps, int width, int height);

    void setPhase(Phase phase);
    // The tick count from which show time is measured.
    void setShowStart(uint32_t showStartTick) { showStart = showStartTick; }
    void beforeSwap();
    void afterSwap();

    int showFramesPresented() const { return frameIndex; }

private:
    void capture();

    OfflineOutputs out;
    int fps;
    int width;
    int height;
    Phase phase = Phase::loading;
    int loadingIndex = 0;
    int frameIndex = 0;
    uint32_t showClockBase = 0;
    uint32_t showStart = 0;
    std::vector<uint8_t> pixels;
};

// Milliseconds of show time at which offline frame k is drawn.
uint32_t offlineFrameTime(int frameIndex, int fps);
// How many offline frames a show started at `startMs` draws.
int offlineFrameCount(uint32_t startMs, int fps);

// Offline rendering: frames on a virtual clock, written as PNG files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Installed as the window's present hook. During loading it writes
// DIR/loading_NN.png per loading-screen update; during the show it writes
// DIR/frame_NNNNNN.png and moves the virtual clock to the next frame's time.
class OfflinePresenter {
public:
    enum class Phase { loading, between, show };

    OfflinePresenter(std::string framesDir, int fps, int width, int height);

    void setPhase(Phase phase);
    void onPresent();

    int showFramesPresented() const { return frameIndex; }

private:
    bool readBackBuffer();

    std::string dir;
    int fps;
    int width;
    int height;
    Phase phase = Phase::loading;
    int loadingIndex = 0;
    int frameIndex = 0;
    uint32_t showClockBase = 0;
    std::vector<uint8_t> pixels;
};

// Milliseconds of show time at which offline frame k is drawn.
uint32_t offlineFrameTime(int frameIndex, int fps);

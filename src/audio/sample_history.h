// The most recent mono samples of the music, shared between the thread that
// produces them and the main thread that analyses them.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>

namespace audio {

// One writer, one reader, no lock: the writer publishes how far it has
// written; the reader copies a window and checks that it was not overwritten
// meanwhile.
class SampleHistory {
public:
    static constexpr int capacity = 1 << 15; // ~0.74 s at 44.1 kHz

    // Writer only. Forgets everything and continues at `frame`.
    void restartAt(int64_t frame);
    // Writer only. Appends the mono mix of interleaved stereo frames.
    void appendStereo(const float* stereo, int frames);
    void appendSilence(int frames);

    // Frame index one past the newest sample.
    int64_t end() const { return endFrame.load(std::memory_order_acquire); }

    // Reader: copies the `count` samples that end at `endAt` into `out`;
    // samples outside what is held are zero. Returns false if the writer
    // overwrote the window while it was copied.
    bool copyWindow(int64_t endAt, float* out, int count) const;

private:
    std::array<float, capacity> ring{};
    std::atomic<int64_t> startFrame{0};
    std::atomic<int64_t> endFrame{0};
};

} // namespace audio

#include "audio/sample_history.h"

namespace audio {

void SampleHistory::restartAt(int64_t frame)
{
    // Readers that see the new start reject the old samples.
    startFrame.store(frame, std::memory_order_release);
    endFrame.store(frame, std::memory_order_release);
}

void SampleHistory::appendStereo(const float* stereo, int frames)
{
    int64_t end = endFrame.load(std::memory_order_relaxed);
    for (int i = 0; i < frames; ++i, ++end)
        ring[static_cast<size_t>(end & (capacity - 1))] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    endFrame.store(end, std::memory_order_release);
}

void SampleHistory::appendSilence(int frames)
{
    int64_t end = endFrame.load(std::memory_order_relaxed);
    for (int i = 0; i < frames; ++i, ++end)
        ring[static_cast<size_t>(end & (capacity - 1))] = 0.0f;
    endFrame.store(end, std::memory_order_release);
}

bool SampleHistory::copyWindow(int64_t endAt, float* out, int count) const
{
    const int64_t start = startFrame.load(std::memory_order_acquire);
    const int64_t end = endFrame.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i) {
        const int64_t frame = endAt - count + i;
        const bool held = frame >= start && frame < end && frame >= end - (capacity - 4096);
        out[i] = held ? ring[static_cast<size_t>(frame & (capacity - 1))] : 0.0f;
    }
    // The writer keeps 4096 frames of slack ahead of the oldest readable one.
    const int64_t endAfter = endFrame.load(std::memory_order_acquire);
    const int64_t startAfter = startFrame.load(std::memory_order_acquire);
    return startAfter == start && endAfter - end < 4096;
}

} // namespace audio

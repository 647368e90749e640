// Audio output: one stereo float stream pulled by a callback.
#pragma once
#include <functional>

namespace platform {

// Fills `frames` interleaved frames of `channels` floats. Runs on the audio
// thread; must never block.
using AudioPullFn = std::function<void(float* out, int frames, int channels)>;

class AudioDevice {
public:
    AudioDevice() = default;
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Opens the default output at `rate` Hz; the device starts paused.
    // Returns false when there is no usable output.
    bool open(int rate, int channels, AudioPullFn pull);
    void start();
    void close();

    bool isOpen() const { return device != 0; }
    int rate() const { return obtainedRate; }
    int channels() const { return obtainedChannels; }
    // Frames the device holds beyond what the callback has produced so far:
    // the delay between producing a sample and hearing it.
    int bufferedFrames() const { return bufferFrames; }

private:
    unsigned device = 0;
    int obtainedRate = 0;
    int obtainedChannels = 0;
    int bufferFrames = 0;
    bool ownsAudio = false;
    AudioPullFn pullFn;
};

} // namespace platform

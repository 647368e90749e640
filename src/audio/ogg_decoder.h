// Streams an Ogg Vorbis file from disk as float frames.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace audio {

class OggDecoder {
public:
    OggDecoder();
    ~OggDecoder();
    OggDecoder(const OggDecoder&) = delete;
    OggDecoder& operator=(const OggDecoder&) = delete;

    // False when the file is missing or not Ogg Vorbis.
    bool open(const std::string& path);
    bool isOpen() const { return opened; }
    int rate() const { return sampleRate; }
    int channels() const { return channelCount; }
    int64_t totalFrames() const { return frames; }

    // Decodes up to `maxFrames` frames, interleaved as stereo floats
    // (mono is doubled, extra channels are dropped). Returns the frames
    // written; 0 at the end of the stream or on a damaged stream.
    int readStereo(float* out, int maxFrames);
    // Positions the stream at `frame` (clamped to the stream).
    bool seekFrame(int64_t frame);
    int64_t positionFrame() const { return position; }

private:
    struct File;
    std::unique_ptr<File> file;
    bool opened = false;
    int sampleRate = 0;
    int channelCount = 0;
    int64_t frames = 0;
    int64_t position = 0;
};

} // namespace audio

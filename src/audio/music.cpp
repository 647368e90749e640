#include "audio/music.h"

#include "audio/ogg_decoder.h"
#include "audio/sample_history.h"
#include "audio/spectrum.h"
#include "platform/audio_device.h"
#include "platform/message_box.h"
#include "platform/tick_clock.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

uint32_t musicStream = 0;
void* musicWindow = nullptr;
float musicSpectrum[musicSpectrumSize] = {};

namespace {

constexpr int outputRate = 44100;
constexpr int chunkFrames = 1024;

struct MusicPlayer {
    bool offline = false;
    bool initialised = false;
    platform::AudioDevice device;
    audio::OggDecoder decoder;
    std::mutex decoderLock; // held by the audio thread while it decodes
    audio::SampleHistory history;
    audio::SpectrumAnalyzer analyzer;
    std::array<float, chunkFrames * 2> chunk{};
    std::array<float, audio::spectrumFftSize> window{};
    std::atomic<bool> playing{false};
    // Resampling from the stream's rate to the device's: position between
    // the two held source frames.
    double step = 1.0;
    double phase = 0.0;
    float held[4] = {0, 0, 0, 0};
    bool primed = false;
    std::vector<float> source;
    int sourceFill = 0;
    int sourceRead = 0;
    // Offline: where the clock started and at which stream frame.
    uint32_t startTick = 0;
    int64_t startFrame = 0;
};

std::unique_ptr<MusicPlayer> player;
bool offlineRequested = false;

MusicPlayer& ensurePlayer()
{
    if (!player)
        player = std::make_unique<MusicPlayer>();
    return *player;
}

// Decoded stereo frames at the device's rate. Returns frames written.
int pullResampled(MusicPlayer& p, float* out, int frames)
{
    if (p.step == 1.0)
        return p.decoder.readStereo(out, frames);
    int written = 0;
    while (written < frames) {
        while (p.phase >= 1.0 || !p.primed) {
            if (p.sourceRead >= p.sourceFill) {
                p.sourceFill = p.decoder.readStereo(p.source.data(), chunkFrames);
                p.sourceRead = 0;
                if (p.sourceFill == 0)
                    return written;
            }
            p.held[0] = p.held[2];
            p.held[1] = p.held[3];
            p.held[2] = p.source[2 * p.sourceRead];
            p.held[3] = p.source[2 * p.sourceRead + 1];
            ++p.sourceRead;
            if (p.primed)
                p.phase -= 1.0;
            p.primed = true;
        }
        const float f = static_cast<float>(p.phase);
        out[2 * written] = p.held[0] + (p.held[2] - p.held[0]) * f;
        out[2 * written + 1] = p.held[1] + (p.held[3] - p.held[1]) * f;
        ++written;
        p.phase += p.step;
    }
    return written;
}

// Runs on the audio thread; never blocks: while the main thread holds the
// decoder (a seek), this buffer stays silent.
void fillOutput(float* out, int frames, int channels)
{
    MusicPlayer& p = *player;
    if (!p.playing.load(std::memory_order_acquire))
        return;
    std::unique_lock lock(p.decoderLock, std::try_to_lock);
    if (!lock.owns_lock())
        return;
    int done = 0;
    while (done < frames) {
        const int want = std::min(chunkFrames, frames - done);
        const int got = pullResampled(p, p.chunk.data(), want);
        if (got > 0)
            p.history.appendStereo(p.chunk.data(), got);
        if (got < want)
            p.history.appendSilence(want - got); // after the end: silence
        for (int i = 0; i < got; ++i) {
            out[(done + i) * channels] = p.chunk[2 * i];
            if (channels > 1)
                out[(done + i) * channels + 1] = p.chunk[2 * i + 1];
        }
        done += want;
    }
}

// Offline: decode on this thread until the history reaches `frame`.
void decodeUpTo(MusicPlayer& p, int64_t frame)
{
    while (p.history.end() < frame) {
        const int want = static_cast<int>(std::min<int64_t>(chunkFrames, frame - p.history.end()));
        const int got = pullResampled(p, p.chunk.data(), want);
        if (got > 0)
            p.history.appendStereo(p.chunk.data(), got);
        if (got < want)
            p.history.appendSilence(want - got);
    }
}

} // namespace

void setMusicOffline(bool offline) { offlineRequested = offline; }

void initMusic(void* window)
{
    musicWindow = window;
    MusicPlayer& p = ensurePlayer();
    p.offline = offlineRequested;
    if (p.offline) {
        p.initialised = true;
        return;
    }
    p.initialised = p.device.open(outputRate, 2, fillOutput);
    if (!p.initialised)
        platform::showMessageBox("BASS error", "BASS", musicWindow);
}

void loadMusic(const char* fileName)
{
    MusicPlayer& p = ensurePlayer();
    musicStream = 0;
    if (p.initialised && fileName && p.decoder.open(fileName)) {
        const int deviceRate = p.offline ? outputRate : p.device.rate();
        p.step = static_cast<double>(p.decoder.rate()) / deviceRate;
        p.source.assign(chunkFrames * 2, 0.0f);
        musicStream = 1;
    }
    if (musicStream == 0)
        platform::showMessageBox("BASS error, file not found?", "BASS", musicWindow);
}

bool playMusic(double startSeconds)
{
    MusicPlayer& p = ensurePlayer();
    if (musicStream == 0) {
        platform::showMessageBox("BASS error, can not play stream?", "BASS", musicWindow);
        return false;
    }
    p.history.restartAt(0);
    p.playing.store(true, std::memory_order_release);
    if (p.offline)
        p.startTick = platform::getTickCount();
    else
        p.device.start();

    // The position is counted in bytes of 16-bit samples of the stream's own
    // format, truncated toward zero, then turned back into frames.
    const double bytesPerSecond = static_cast<double>(p.decoder.rate()) * p.decoder.channels() * 2.0;
    const double bytes = std::max(0.0, startSeconds) * bytesPerSecond;
    const uint32_t bytePosition = bytes >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
    const int64_t sourceFrame = bytePosition / (p.decoder.channels() * 2);

    std::lock_guard lock(p.decoderLock);
    const bool ok = p.decoder.seekFrame(sourceFrame);
    p.primed = false;
    p.phase = 0.0;
    p.sourceFill = p.sourceRead = 0;
    // History frames are counted at the device's rate.
    p.startFrame = static_cast<int64_t>(std::llround(static_cast<double>(p.decoder.positionFrame()) / p.step));
    p.history.restartAt(p.startFrame);
    return ok;
}

int64_t musicHeardFrame()
{
    if (!player || musicStream == 0 || !player->playing.load())
        return 0;
    MusicPlayer& p = *player;
    if (p.offline) {
        const uint32_t elapsed = platform::getTickCount() - p.startTick;
        return p.startFrame + static_cast<int64_t>(elapsed) * outputRate / 1000;
    }
    return std::max<int64_t>(p.startFrame, p.history.end() - p.device.bufferedFrames());
}

uint32_t getMusicSpectrum(float* buffer)
{
    if (!player || musicStream == 0 || !player->playing.load() || !buffer)
        return 0xFFFFFFFFu;
    MusicPlayer& p = *player;
    const int64_t heard = musicHeardFrame();
    if (p.offline)
        decodeUpTo(p, heard);
    for (int attempt = 0; attempt < 4; ++attempt)
        if (p.history.copyWindow(heard, p.window.data(), audio::spectrumFftSize))
            break;
    p.analyzer.analyze(p.window.data(), buffer);
    return musicSpectrumSize * sizeof(float);
}

void shutdownMusic()
{
    if (player) {
        player->playing.store(false);
        player->device.close();
    }
    player.reset();
    musicStream = 0;
    musicWindow = nullptr;
}

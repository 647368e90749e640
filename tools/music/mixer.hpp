// The mix: instrument buses, effect sends and the master chain.
#pragma once

#include <cstddef>
#include <vector>

namespace q9music {

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(std::size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
    std::size_t frames() const { return left.size(); }
};

class Mixer;

struct LimiterReport {
    double deepestReductionDb = 0.0;
    double busyFraction = 0.0; // share of frames reduced by more than 1 dB
};

// Where one voice goes: a bus with pan gains, plus delay and reverb sends.
struct Route {
    // Only Music is ducked by the kick.
    enum class Bus { Drums, Music, Lead };
    Bus bus = Bus::Music;
    float left = 0.0f, right = 0.0f, delay = 0.0f, reverb = 0.0f;

    static Route make(Bus bus, double gain, double pan, double delaySend, double reverbSend);
};

class Mixer {
public:
    explicit Mixer(std::size_t frames);

    std::size_t frames() const { return drums.frames(); }

    void add(const Route& route, std::size_t frame, float value)
    {
        if (frame >= frames())
            return;
        Stereo& bus = pick(route.bus);
        bus.left[frame] += route.left * value;
        bus.right[frame] += route.right * value;
        delaySend[frame] += route.delay * value;
        reverbSend[frame] += route.reverb * value;
    }
    // Decorrelated stereo sources (crash, risers) write each side directly.
    void addSides(const Route& route, std::size_t frame, float left, float right)
    {
        if (frame >= frames())
            return;
        Stereo& bus = pick(route.bus);
        bus.left[frame] += route.left * left;
        bus.right[frame] += route.right * right;
        delaySend[frame] += route.delay * 0.5f * (left + right);
        reverbSend[frame] += route.reverb * 0.5f * (left + right);
    }

    // Side-chain: the music bus dips after each kick so the groove breathes.
    void duckAt(double seconds, double depth, double recovery);

    // Level automation applied to the whole mix before the limiter.
    std::vector<float>& masterGain() { return gain; }

    struct Settings {
        double delaySeconds = 0.375;
        double delayFeedback = 0.38;
        double outputGain = 1.0;
        double ceiling = 0.75; // -2.5 dBFS, leaving room for the codec
    };
    // Runs the effects, high-pass, automation and limiter; returns the mix.
    Stereo master(const Settings& settings, LimiterReport* report = nullptr);

private:
    Stereo& pick(Route::Bus bus)
    {
        switch (bus) {
        case Route::Bus::Drums:
            return drums;
        case Route::Bus::Lead:
            return lead;
        case Route::Bus::Music:
            break;
        }
        return music;
    }

    Stereo drums, music, lead;
    std::vector<float> delaySend, reverbSend, duck, gain;
};

// Look-ahead peak limiter: the gain never lets a sample exceed `ceiling`
// and moves smoothly (ramps of 2 * lookahead, slow recovery).
LimiterReport limitPeaks(Stereo& mix, double ceiling, double lookaheadSeconds, double releaseSeconds);

} // namespace q9music

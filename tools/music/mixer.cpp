#include "mixer.hpp"

#include "dsp.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

namespace q9music {

Route Route::make(Bus bus, double gain, double pan, double delaySend, double reverbSend)
{
    Route r;
    r.bus = bus;
    panGains(pan, gain, r.left, r.right);
    r.delay = static_cast<float>(gain * delaySend);
    r.reverb = static_cast<float>(gain * reverbSend);
    return r;
}

Mixer::Mixer(std::size_t frames)
    : drums(frames), music(frames), lead(frames), delaySend(frames, 0.0f), reverbSend(frames, 0.0f),
      duck(frames, 1.0f), gain(frames, 1.0f)
{
}

void Mixer::duckAt(double seconds, double depth, double recovery)
{
    const std::size_t start = sampleAt(seconds);
    const std::size_t attack = sampleAt(0.004);
    const std::size_t length = sampleAt(recovery * 6.0);
    for (std::size_t j = 0; j < length && start + j < frames(); ++j) {
        double shape;
        if (j < attack)
            shape = static_cast<double>(j) / attack;
        else
            shape = std::exp(-static_cast<double>(j - attack) / (recovery * kRate));
        float& d = duck[start + j];
        d = std::min(d, static_cast<float>(1.0 - depth * shape));
    }
}

namespace {

// Freeverb-style room: parallel damped combs into serial all-passes.
class Reverb {
public:
    Reverb(double roomSize, double damping, int spread)
    {
        static constexpr std::array<int, 8> combTuning{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        static constexpr std::array<int, 4> allpassTuning{556, 441, 341, 225};
        for (int side = 0; side < 2; ++side) {
            const int offset = side * spread;
            for (std::size_t i = 0; i < combTuning.size(); ++i)
                combs[side][i].buffer.assign(combTuning[i] + offset, 0.0f);
            for (std::size_t i = 0; i < allpassTuning.size(); ++i)
                allpasses[side][i].buffer.assign(allpassTuning[i] + offset, 0.0f);
        }
        feedback = static_cast<float>(roomSize);
        damp = static_cast<float>(damping);
    }

    void process(float input, float& left, float& right)
    {
        left = run(0, input);
        right = run(1, input);
    }

private:
    struct Comb {
        std::vector<float> buffer;
        std::size_t index = 0;
        float store = 0.0f;
    };
    struct Allpass {
        std::vector<float> buffer;
        std::size_t index = 0;
    };

    float run(int side, float input)
    {
        float sum = 0.0f;
        for (Comb& c : combs[side]) {
            const float out = c.buffer[c.index];
            c.store = out * (1.0f - damp) + c.store * damp;
            c.buffer[c.index] = input + c.store * feedback;
            if (++c.index == c.buffer.size())
                c.index = 0;
            sum += out;
        }
        for (Allpass& a : allpasses[side]) {
            const float delayed = a.buffer[a.index];
            const float out = delayed - sum;
            a.buffer[a.index] = sum + delayed * 0.5f;
            if (++a.index == a.buffer.size())
                a.index = 0;
            sum = out;
        }
        return sum;
    }

    std::array<std::array<Comb, 8>, 2> combs;
    std::array<std::array<Allpass, 4>, 2> allpasses;
    float feedback = 0.8f, damp = 0.3f;
};

} // namespace

LimiterReport limitPeaks(Stereo& mix, double ceiling, double lookaheadSeconds, double releaseSeconds)
{
    LimiterReport report;
    const std::size_t n = mix.frames();
    if (n == 0)
        return report;
    const double target = ceiling * (1.0 - 1e-6);
    std::vector<float> required(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double peak = std::max(std::fabs(mix.left[i]), std::fabs(mix.right[i]));
        required[i] = static_cast<float>(peak > target ? target / peak : 1.0);
    }

    // Minimum over [i - w, i + w]: every sample within w of i gets at most
    // the gain sample i needs, so the box average below still respects it.
    const std::size_t w = std::max<std::size_t>(1, sampleAt(lookaheadSeconds));
    std::vector<float> floor(n);
    std::deque<std::size_t> window;
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t hi = std::min(n - 1, i + w);
        while (next <= hi) {
            while (!window.empty() && required[window.back()] >= required[next])
                window.pop_back();
            window.push_back(next++);
        }
        while (window.front() + w < i)
            window.pop_front();
        floor[i] = required[window.front()];
    }

    std::vector<double> prefix(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        prefix[i + 1] = prefix[i] + floor[i];

    const double recover = 1.0 - std::exp(-1.0 / (releaseSeconds * kRate));
    double g = 1.0, lowest = 1.0;
    std::size_t busy = 0;
    const double oneDb = std::pow(10.0, -1.0 / 20.0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t lo = i >= w ? i - w : 0;
        const std::size_t hi = std::min(n - 1, i + w);
        // Outside the buffer the gain counts as 1, matching silence there.
        const double outside = static_cast<double>(2 * w + 1 - (hi - lo + 1));
        const double smooth = (prefix[hi + 1] - prefix[lo] + outside) / static_cast<double>(2 * w + 1);
        g = std::min(smooth, g + (1.0 - g) * recover);
        g = std::min<double>(g, required[i]);
        lowest = std::min(lowest, g);
        busy += g < oneDb ? 1 : 0;
        mix.left[i] = static_cast<float>(mix.left[i] * g);
        mix.right[i] = static_cast<float>(mix.right[i] * g);
    }
    report.deepestReductionDb = -20.0 * std::log10(lowest);
    report.busyFraction = static_cast<double>(busy) / static_cast<double>(n);
    return report;
}

Stereo Mixer::master(const Settings& settings, LimiterReport* report)
{
    const std::size_t n = frames();
    Stereo out(n);

    // Ping-pong delay: the left line feeds the right and back, each repeat
    // darker than the last.
    const std::size_t delayLength = std::max<std::size_t>(1, sampleAt(settings.delaySeconds));
    std::vector<float> lineL(delayLength, 0.0f), lineR(delayLength, 0.0f);
    OnePole toneL, toneR;
    toneL.set(3500.0);
    toneR.set(3500.0);
    const float fb = static_cast<float>(settings.delayFeedback);

    Reverb reverb(0.84, 0.35, 23);
    Svf preVerb;
    preVerb.set(180.0, 0.7);

    std::size_t tap = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const float echoL = lineL[tap];
        const float echoR = lineR[tap];
        lineL[tap] = delaySend[i] + static_cast<float>(toneR.low(echoR)) * fb;
        lineR[tap] = static_cast<float>(toneL.low(echoL)) * fb;
        if (++tap == delayLength)
            tap = 0;

        // Keep mud out of the room: only the part above ~180 Hz reverberates.
        float wetL, wetR;
        reverb.process(static_cast<float>(preVerb.high(reverbSend[i])) * 0.015f, wetL, wetR);

        out.left[i] = drums.left[i] + lead.left[i] + music.left[i] * duck[i] + 0.55f * echoL + wetL;
        out.right[i] = drums.right[i] + lead.right[i] + music.right[i] * duck[i] + 0.55f * echoR + wetR;
    }

    // DC and sub-sonic rumble off the master.
    Svf hpL, hpR;
    hpL.set(24.0, 0.7071);
    hpR.set(24.0, 0.7071);
    for (std::size_t i = 0; i < n; ++i) {
        const double g = settings.outputGain * gain[i];
        out.left[i] = static_cast<float>(hpL.high(out.left[i]) * g);
        out.right[i] = static_cast<float>(hpR.high(out.right[i]) * g);
    }

    const LimiterReport limited = limitPeaks(out, settings.ceiling, 0.005, 0.12);
    if (report)
        *report = limited;
    return out;
}

} // namespace q9music

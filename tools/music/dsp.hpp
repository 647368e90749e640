// Small signal-processing building blocks for the soundtrack synthesiser:
// band-limited oscillators, a state-variable filter, envelopes and noise.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace q9music {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

inline double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

inline std::size_t sampleAt(double seconds)
{
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::llround(seconds * kRate));
}

// xorshift32: a fixed seed gives the same noise on every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    // Uniform in [-1, 1).
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>((state >> 8) * (1.0 / 8388608.0) - 1.0);
    }
    // Uniform in [0, 1).
    double unit() { return 0.5 * (next() + 1.0); }

private:
    std::uint32_t state;
};

// Residual that turns a naive step into a band-limited one (two-sample
// polynomial approximation of the band-limited step).
inline double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// Phase accumulator with PolyBLEP-corrected saw and pulse shapes.
struct Oscillator {
    double phase = 0.0;

    void advance(double dt)
    {
        phase += dt;
        phase -= std::floor(phase);
    }
    double saw(double dt)
    {
        const double v = 2.0 * phase - 1.0 - polyBlep(phase, dt);
        advance(dt);
        return v;
    }
    // Pulse with the given duty cycle, DC removed so short duties don't
    // push the mix off centre.
    double pulse(double dt, double duty)
    {
        double v = phase < duty ? 1.0 : -1.0;
        v += polyBlep(phase, dt);
        double shifted = phase + 1.0 - duty;
        shifted -= std::floor(shifted);
        v -= polyBlep(shifted, dt);
        advance(dt);
        return v - (2.0 * duty - 1.0);
    }
    double sine(double dt)
    {
        const double v = std::sin(kTwoPi * phase);
        advance(dt);
        return v;
    }
};

// Trapezoidal state-variable filter (stable under fast cutoff modulation).
class Svf {
public:
    void set(double cutoff, double q)
    {
        cutoff = std::clamp(cutoff, 10.0, 0.45 * kRate);
        const double g = std::tan(kPi * cutoff / kRate);
        k = 1.0 / q;
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void tick(double v0)
    {
        const double v3 = v0 - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        lowOut = v2;
        bandOut = v1;
        highOut = v0 - k * v1 - v2;
    }
    double low(double v0)
    {
        tick(v0);
        return lowOut;
    }
    double band(double v0)
    {
        tick(v0);
        return bandOut;
    }
    double high(double v0)
    {
        tick(v0);
        return highOut;
    }

private:
    double k = 1.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;
    double ic1 = 0.0, ic2 = 0.0;
    double lowOut = 0.0, bandOut = 0.0, highOut = 0.0;
};

// One-pole low-pass, for gentle tone shaping and smoothing.
class OnePole {
public:
    void set(double cutoff) { coeff = 1.0 - std::exp(-kTwoPi * cutoff / kRate); }
    double low(double x)
    {
        state += coeff * (x - state);
        return state;
    }

private:
    double coeff = 1.0, state = 0.0;
};

// Attack / decay / sustain / release, with exponential decay and a smooth
// release. `held` is the time the note is held before its release starts.
struct Adsr {
    double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.1;

    double heldLevel(double t) const
    {
        if (t < attack)
            return t / attack;
        return sustain + (1.0 - sustain) * std::exp(-(t - attack) / decay);
    }
    double at(double t, double held) const
    {
        if (t < held)
            return heldLevel(t);
        const double r = (t - held) / release;
        if (r >= 1.0)
            return 0.0;
        const double fall = 1.0 - r;
        return heldLevel(held) * fall * fall;
    }
    double length(double held) const { return held + release; }
};

// Equal-power pan: -1 is hard left, +1 hard right.
inline void panGains(double pan, double gain, float& left, float& right)
{
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi * 0.25;
    left = static_cast<float>(gain * std::cos(angle));
    right = static_cast<float>(gain * std::sin(angle));
}

} // namespace q9music

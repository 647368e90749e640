#include "instruments.hpp"

#include <algorithm>
#include <cmath>

namespace q9music {

namespace {

using Bus = Route::Bus;

double seconds(std::size_t frame) { return static_cast<double>(frame) / kRate; }

// Linear fade over the last few milliseconds so a hard stop never clicks.
double tailFade(std::size_t j, std::size_t length, std::size_t fade)
{
    return j + fade > length ? static_cast<double>(length - j) / fade : 1.0;
}

} // namespace

void kick(Mixer& mix, Noise& noise, double t, double level, const KickShape& k)
{
    const Route route = Route::make(Bus::Drums, level, 0.0, 0.0, 0.0);
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(k.length);
    const std::size_t fade = sampleAt(0.008);
    const double norm = 1.0 / std::tanh(k.drive);
    Oscillator body;
    Svf clickFilter;
    clickFilter.set(3000.0, 0.7);
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        const double hz = k.endHz + (k.startHz - k.endHz) * std::exp(-tt / k.sweepTime);
        const double amp = std::min(1.0, tt / 0.0008) * std::exp(-tt / k.decayTime);
        double s = std::tanh(k.drive * amp * body.sine(hz / kRate)) * norm;
        s += clickFilter.high(noise.next()) * k.click * std::exp(-tt / 0.003);
        mix.add(route, start + j, static_cast<float>(s * tailFade(j, length, fade)));
    }
}

void snare(Mixer& mix, Noise& noise, double t, double level, double reverb)
{
    const Route route = Route::make(Bus::Drums, level, 0.05, 0.0, reverb);
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(0.32);
    const std::size_t fade = sampleAt(0.01);
    Oscillator tone;
    Svf band, high;
    band.set(3200.0, 0.9);
    high.set(1500.0, 0.7);
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        const double attack = std::min(1.0, tt / 0.0005);
        const double hz = 175.0 + 90.0 * std::exp(-tt / 0.012);
        const double body = 0.55 * tone.sine(hz / kRate) * std::exp(-tt / 0.05);
        const double n = noise.next();
        const double rattle = (0.7 * band.band(n) + 0.3 * high.high(n)) * std::exp(-tt / 0.11);
        mix.add(route, start + j, static_cast<float>(attack * (body + rattle) * tailFade(j, length, fade)));
    }
}

void clap(Mixer& mix, Noise& noise, double t, double level)
{
    const Route route = Route::make(Bus::Drums, level, -0.1, 0.0, 0.35);
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(0.35);
    const std::size_t fade = sampleAt(0.01);
    Svf band;
    band.set(1250.0, 1.8);
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        // Three quick bursts, then the room tail: the shape of hands.
        double env;
        if (tt < 0.028)
            env = std::exp(-std::fmod(tt, 0.0095) / 0.0028);
        else
            env = std::exp(-(tt - 0.028) / 0.075);
        const double s = 1.6 * band.band(noise.next()) * env;
        mix.add(route, start + j, static_cast<float>(s * tailFade(j, length, fade)));
    }
}

void hat(Mixer& mix, Noise& noise, double t, double level, double decay, double pan)
{
    const Route route = Route::make(Bus::Drums, level, pan, 0.0, 0.08);
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(std::min(decay * 7.0, 1.2));
    const std::size_t fade = sampleAt(0.005);
    Svf high, shimmer;
    high.set(7500.0, 0.9);
    shimmer.set(11000.0, 2.0);
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        const double n = noise.next();
        const double s = (0.42 * high.high(n) + 0.22 * shimmer.band(n)) * std::min(1.0, tt / 0.0003) *
                         std::exp(-tt / decay);
        mix.add(route, start + j, static_cast<float>(s * tailFade(j, length, fade)));
    }
}

void crash(Mixer& mix, Noise& noise, double t, double level)
{
    const Route route = Route::make(Bus::Drums, level, 0.0, 0.0, 0.2);
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(3.0);
    const std::size_t fade = sampleAt(0.05);
    Svf highL, highR, bandL, bandR;
    highL.set(4800.0, 0.8);
    highR.set(4800.0, 0.8);
    bandL.set(7800.0, 1.5);
    bandR.set(8300.0, 1.5);
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        const double env = std::min(1.0, tt / 0.001) * (0.2 * std::exp(-tt / 0.08) + 0.4 * std::exp(-tt / 0.9)) *
                           tailFade(j, length, fade);
        const double nl = noise.next();
        const double nr = noise.next();
        const double l = (highL.high(nl) + 0.6 * bandL.band(nl)) * env;
        const double r = (highR.high(nr) + 0.6 * bandR.band(nr)) * env;
        mix.addSides(route, start + j, static_cast<float>(l), static_cast<float>(r));
    }
}

void riser(Mixer& mix, Noise& noise, double t0, double t1, double lowHz, double highHz, double level)
{
    const Route route = Route::make(Bus::Music, level, 0.0, 0.0, 0.3);
    const std::size_t start = sampleAt(t0);
    const std::size_t length = sampleAt(t1 - t0);
    const std::size_t fade = sampleAt(0.012);
    Svf left, right;
    for (std::size_t j = 0; j < length; ++j) {
        const double x = static_cast<double>(j) / length;
        if (j % 16 == 0) {
            const double hz = lowHz * std::pow(highHz / lowHz, x);
            left.set(hz, 2.5);
            right.set(hz * 1.06, 2.5);
        }
        const double env = x * x * tailFade(j, length, fade);
        const double l = left.band(noise.next()) * env;
        const double r = right.band(noise.next()) * env;
        mix.addSides(route, start + j, static_cast<float>(l), static_cast<float>(r));
    }
}

void bassNote(Mixer& mix, double t, double held, int note, double level, const BassTone& tone)
{
    const Route route = Route::make(tone.bus, level, 0.0, 0.0, 0.0);
    const Adsr env{0.003, tone.decay, tone.sustain, 0.03};
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(env.length(held));
    const double dt = midiHz(note) / kRate;
    Oscillator sawA, sawB, body;
    sawB.phase = 0.37;
    Svf filter;
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        if (j % 16 == 0)
            filter.set(tone.cutoff + tone.envelope * std::exp(-tt / tone.envTime), tone.resonance);
        const double raw = 0.55 * sawA.saw(dt) + 0.45 * sawB.saw(dt * 1.0035);
        const double s = filter.low(raw) + tone.sub * body.sine(dt);
        mix.add(route, start + j, static_cast<float>(s * env.at(tt, held)));
    }
}

void chipNote(Mixer& mix, double t, double held, int note, double level, double duty, double pan,
              double delaySend, double highPass)
{
    const Route route = Route::make(Bus::Music, level, pan, delaySend, 0.05);
    const Adsr env{0.002, 0.07, 0.55, 0.025};
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(env.length(held));
    const double dt = midiHz(note) / kRate;
    Oscillator osc;
    OnePole soften;
    soften.set(9000.0);
    Svf lowCut;
    lowCut.set(highPass > 0.0 ? highPass : 20.0, 0.7071);
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        double s = soften.low(osc.pulse(dt, duty));
        if (highPass > 0.0)
            s = lowCut.high(s);
        mix.add(route, start + j, static_cast<float>(s * env.at(tt, held)));
    }
}

void padNote(Mixer& mix, Noise& noise, double t, double held, int note, double level,
             const std::function<double(double)>& cutoff, double attack, double release, double highPass)
{
    const Route route = Route::make(Bus::Music, level, 0.0, 0.0, 0.28);
    const Adsr env{attack, 0.8, 0.85, release};
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(env.length(held));
    const double hz = midiHz(note);
    const double dtLeft = hz * std::pow(2.0, -0.11 / 12.0) / kRate;
    const double dtMid = hz / kRate;
    const double dtRight = hz * std::pow(2.0, 0.11 / 12.0) / kRate;
    Oscillator left, mid, right;
    left.phase = noise.unit();
    mid.phase = noise.unit();
    right.phase = noise.unit();
    Svf lowL, lowR, highL, highR;
    highL.set(std::max(highPass, 20.0), 0.7071);
    highR.set(std::max(highPass, 20.0), 0.7071);
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        if (j % 32 == 0) {
            const double hzCut = cutoff(t + tt);
            lowL.set(hzCut, 0.9);
            lowR.set(hzCut * 1.03, 0.9);
        }
        const double m = 0.6 * mid.saw(dtMid);
        double l = lowL.low(left.saw(dtLeft) + m);
        double r = lowR.low(right.saw(dtRight) + m);
        if (highPass > 0.0) {
            l = highL.high(l);
            r = highR.high(r);
        }
        const double e = env.at(tt, held);
        mix.addSides(route, start + j, static_cast<float>(l * e), static_cast<float>(r * e));
    }
}

void stab(Mixer& mix, Noise& noise, double t, const std::vector<int>& notes, double level, double length)
{
    const Route route = Route::make(Bus::Music, level, 0.0, 0.2, 0.45);
    const Adsr env{0.002, 0.14, 0.3, 0.18};
    const std::size_t start = sampleAt(t);
    const std::size_t frames = sampleAt(env.length(length));
    static constexpr int kVoices = 5;
    static constexpr double kDetune[kVoices] = {-0.2, -0.09, 0.0, 0.1, 0.21};
    static constexpr double kPan[kVoices] = {-0.9, -0.45, 0.0, 0.45, 0.9};
    std::vector<Oscillator> osc(notes.size() * kVoices);
    std::vector<double> dt(osc.size());
    for (std::size_t n = 0; n < notes.size(); ++n)
        for (int v = 0; v < kVoices; ++v) {
            osc[n * kVoices + v].phase = noise.unit();
            dt[n * kVoices + v] = midiHz(notes[n] + kDetune[v]) / kRate;
        }
    Svf lowL, lowR;
    for (std::size_t j = 0; j < frames; ++j) {
        const double tt = seconds(j);
        if (j % 16 == 0) {
            const double hz = 350.0 + 7000.0 * std::exp(-tt / 0.09);
            lowL.set(hz, 1.3);
            lowR.set(hz, 1.3);
        }
        double l = 0.0, r = 0.0;
        for (std::size_t k = 0; k < osc.size(); ++k) {
            const double s = osc[k].saw(dt[k]);
            const double p = (kPan[k % kVoices] + 1.0) * 0.5;
            l += s * (1.0 - p);
            r += s * p;
        }
        const double e = env.at(tt, length) / std::sqrt(static_cast<double>(osc.size()));
        mix.addSides(route, start + j, static_cast<float>(lowL.low(l) * e), static_cast<float>(lowR.low(r) * e));
    }
}

void bell(Mixer& mix, double t, int note, double level, double pan)
{
    const Route route = Route::make(Bus::Music, level, pan, 0.35, 0.5);
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(3.2);
    const std::size_t fade = sampleAt(0.2);
    const double hz = midiHz(note);
    double carrier = 0.0, modulator = 0.0;
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        const double index = 2.2 * std::exp(-tt / 0.22) + 0.25;
        const double s = std::sin(kTwoPi * carrier + index * std::sin(kTwoPi * modulator));
        carrier += hz / kRate;
        modulator += 3.5 * hz / kRate;
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
        const double env = std::min(1.0, tt / 0.002) * std::exp(-tt / 0.9) * tailFade(j, length, fade);
        mix.add(route, start + j, static_cast<float>(s * env));
    }
}

void leadLine(Mixer& mix, const std::vector<LeadNote>& line, double level)
{
    const Route route = Route::make(Bus::Lead, level, 0.0, 0.32, 0.22);
    const Adsr env{0.008, 0.25, 0.72, 0.14};
    for (std::size_t i = 0; i < line.size(); ++i) {
        const LeadNote& n = line[i];
        double from = n.note;
        if (i > 0 && std::fabs(line[i - 1].t + line[i - 1].held - n.t) < 1e-6)
            from = line[i - 1].note;
        const std::size_t start = sampleAt(n.t);
        const std::size_t length = sampleAt(env.length(n.held));
        Oscillator sawA, sawB, sub;
        sawB.phase = 0.5;
        Svf filter;
        for (std::size_t j = 0; j < length; ++j) {
            const double tt = seconds(j);
            const double vibrato = 0.16 * std::sin(kTwoPi * 5.3 * tt) * std::clamp((tt - 0.22) / 0.3, 0.0, 1.0);
            const double pitch = n.note + (from - n.note) * std::exp(-tt / 0.035) + vibrato;
            const double dt = 440.0 * std::exp2((pitch - 69.0) / 12.0) / kRate;
            if (j % 16 == 0)
                filter.set(1500.0 + 3800.0 * std::exp(-tt / 0.18), 1.4);
            const double raw = 0.5 * sawA.saw(dt * 1.004) + 0.5 * sawB.saw(dt * 0.996) + 0.3 * sub.pulse(dt * 0.5, 0.5);
            mix.add(route, start + j, static_cast<float>(filter.low(raw) * env.at(tt, n.held)));
        }
    }
}

void boom(Mixer& mix, double t, double hz, double level, double decay)
{
    const Route route = Route::make(Bus::Drums, level, 0.0, 0.0, 0.0);
    const std::size_t start = sampleAt(t);
    const std::size_t length = sampleAt(decay * 6.0);
    const std::size_t fade = sampleAt(0.05);
    Oscillator osc;
    for (std::size_t j = 0; j < length; ++j) {
        const double tt = seconds(j);
        const double f = hz * (1.0 + 0.6 * std::exp(-tt / 0.05));
        const double env = std::min(1.0, tt / 0.002) * std::exp(-tt / decay) * tailFade(j, length, fade);
        mix.add(route, start + j, static_cast<float>(osc.sine(f / kRate) * env));
    }
}

} // namespace q9music

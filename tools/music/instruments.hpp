// The synthesised instruments. Each call renders one note or hit into the
// mixer at an absolute time in seconds.
#pragma once

#include "dsp.hpp"
#include "mixer.hpp"

#include <functional>
#include <vector>

namespace q9music {

struct KickShape {
    double startHz;     // pitch at the attack
    double endHz;       // pitch the body settles on
    double sweepTime;   // time constant of the pitch drop
    double decayTime;   // time constant of the body
    double length;      // hard stop, with a short fade
    double drive;       // tanh saturation amount
    double click;       // level of the noise click
};

// Round, deep kick for the grooves.
inline constexpr KickShape kDeepKick{165.0, 47.0, 0.035, 0.26, 0.46, 1.6, 0.25};
// Short, driven kick whose body sits on ~172 Hz (retuned per note).
inline constexpr KickShape kPunchKick{950.0, 172.0, 0.011, 0.075, 0.26, 2.6, 0.45};

void kick(Mixer& mix, Noise& noise, double t, double level, const KickShape& shape);
void snare(Mixer& mix, Noise& noise, double t, double level, double reverb);
void clap(Mixer& mix, Noise& noise, double t, double level);
void hat(Mixer& mix, Noise& noise, double t, double level, double decay, double pan);
void crash(Mixer& mix, Noise& noise, double t, double level);

// Noise swept through a band-pass from lowHz to highHz, growing louder.
void riser(Mixer& mix, Noise& noise, double t0, double t1, double lowHz, double highHz, double level);

struct BassTone {
    double cutoff = 320.0;     // resting filter cutoff
    double envelope = 1400.0;  // cutoff added at the attack
    double envTime = 0.09;
    double resonance = 2.2;
    double sub = 0.5;          // sine an octave below
    double decay = 0.12, sustain = 0.55;
    Route::Bus bus = Route::Bus::Music;
};
void bassNote(Mixer& mix, double t, double held, int note, double level, const BassTone& tone);

// 8-bit style square/pulse note; highPass removes the low end when needed.
void chipNote(Mixer& mix, double t, double held, int note, double level, double duty, double pan,
              double delaySend, double highPass = 0.0);

// Detuned saw pad; cutoff(t) gives the filter in Hz at absolute time t.
void padNote(Mixer& mix, Noise& noise, double t, double held, int note, double level,
             const std::function<double(double)>& cutoff, double attack, double release,
             double highPass = 0.0);

// Bright supersaw chord hit with a falling filter.
void stab(Mixer& mix, Noise& noise, double t, const std::vector<int>& notes, double level, double length);

// FM bell for the calm part.
void bell(Mixer& mix, double t, int note, double level, double pan);

struct LeadNote {
    double t;
    double held;
    int note;
};
// Monophonic lead with glide between touching notes and delayed vibrato.
void leadLine(Mixer& mix, const std::vector<LeadNote>& line, double level);

// Low sine boom under a big hit.
void boom(Mixer& mix, double t, double hz, double level, double decay);

} // namespace q9music

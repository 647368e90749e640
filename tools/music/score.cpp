#include "score.hpp"

#include "dsp.hpp"
#include "instruments.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace q9music {

namespace {

// 120 BPM in 4/4.
constexpr double kBeat = 0.5;
constexpr double kEighth = 0.25;
constexpr double kSixteenth = 0.125;

struct Chord {
    std::array<int, 3> triad; // close voicing around middle C
    int bass;                 // root in the second octave
};

// A minor and its neighbours: i, VI, III, VII, iv, V (major, for the pull home).
constexpr Chord Am{{57, 60, 64}, 45};
constexpr Chord F{{57, 60, 65}, 41};
constexpr Chord C{{55, 60, 64}, 36};
constexpr Chord G{{55, 59, 62}, 43};
constexpr Chord Dm{{57, 62, 65}, 38};
constexpr Chord E{{56, 59, 64}, 40};
constexpr Chord DmOverF{{57, 62, 65}, 41};

struct Span {
    double start, end;
    const Chord* chord;
};

// The harmony of the whole piece; every change falls on a beat.
const std::vector<Span>& harmony()
{
    static const std::vector<Span> spans{
        {0, 2, &Am},
        // chip arpeggios
        {2, 4, &Am}, {4, 6, &F}, {6, 8, &C}, {8, 10, &G},
        {10, 12, &Am}, {12, 14, &F}, {14, 15, &G}, {15, 16, &E},
        // bass joins
        {16, 18, &Am}, {18, 20, &F}, {20, 22, &C}, {22, 23, &G},
        // break
        {23, 24, &Dm}, {24, 25, &E},
        // full groove
        {25, 27, &Am}, {27, 29, &F}, {29, 31, &C}, {31, 33, &G},
        {33, 35, &Am}, {35, 36, &F}, {36, 37, &G},
        // hit and stabs
        {37, 38, &Am}, {38, 39, &F}, {39, 39.5, &G}, {39.5, 40, &E},
        // calm
        {40, 42, &Am}, {42, 44, &F}, {44, 46, &C}, {46, 48, &G},
        // builds
        {48, 50, &F}, {50, 52, &G}, {52, 54, &E},
        // main theme
        {54, 56, &Am}, {56, 58, &F}, {58, 60, &C}, {60, 62, &G},
        {62, 64, &Am}, {64, 66, &F}, {66, 68, &G}, {68, 70, &E},
        // break
        {70, 72, &Am},
        // punch section: roots stay on F and E, 165-175 Hz an octave up
        {72, 74, &F}, {74, 76, &E}, {76, 78, &DmOverF}, {78, 80, &E},
        // finale
        {80, 82, &F}, {82, 84, &G}, {84, kTrackSeconds, &Am},
    };
    return spans;
}

const Chord& chordAt(double t)
{
    for (const Span& s : harmony())
        if (t >= s.start - 1e-9 && t < s.end - 1e-9)
            return *s.chord;
    return Am;
}

// Calls f(t) for t = from, from + step, ... below to.
template <typename Fn>
void every(double from, double to, double step, Fn&& f)
{
    const int count = static_cast<int>(std::lround((to - from) / step));
    for (int i = 0; i < count; ++i)
        f(from + i * step, i);
}

// The main theme over Am F C G | Am F G E: (bar, start and length in
// eighths, note).
struct ThemeStep {
    int bar, start, length, note;
};
const std::vector<ThemeStep> kTheme{
    {0, 0, 2, 76}, {0, 2, 1, 81}, {0, 3, 1, 79}, {0, 4, 3, 76}, {0, 7, 1, 74},
    {1, 0, 2, 72}, {1, 2, 1, 74}, {1, 3, 1, 76}, {1, 4, 2, 77}, {1, 6, 1, 76}, {1, 7, 1, 72},
    {2, 0, 2, 67}, {2, 2, 1, 72}, {2, 3, 1, 76}, {2, 4, 3, 79}, {2, 7, 1, 76},
    {3, 0, 2, 74}, {3, 2, 1, 71}, {3, 3, 1, 74}, {3, 4, 2, 79}, {3, 6, 1, 77}, {3, 7, 1, 74},
    {4, 0, 2, 76}, {4, 2, 1, 81}, {4, 3, 1, 83}, {4, 4, 2, 84}, {4, 6, 1, 83}, {4, 7, 1, 81},
    {5, 0, 3, 81}, {5, 3, 1, 79}, {5, 4, 2, 77}, {5, 6, 1, 76}, {5, 7, 1, 77},
    {6, 0, 2, 79}, {6, 2, 1, 77}, {6, 3, 1, 76}, {6, 4, 2, 74}, {6, 6, 2, 71},
    {7, 0, 3, 80}, {7, 3, 1, 76}, {7, 4, 2, 71}, {7, 6, 1, 68}, {7, 7, 1, 71},
};

// Mixing desk: one trim per instrument family, applied on top of the
// per-part levels written in the sections below.
constexpr double kKickTrim = 0.62;
constexpr double kSnareTrim = 0.75;
constexpr double kHatTrim = 0.8;
constexpr double kBassTrim = 1.45;
constexpr double kPadTrim = 1.6;
constexpr double kArpTrim = 1.3;
constexpr double kLeadTrim = 1.55;

class Composer {
public:
    explicit Composer(Mixer& m) : mix(m) {}

    void compose()
    {
        intro();
        chipSection();
        drumsEnter();
        bassJoins();
        firstBreak();
        fullGroove();
        hitAndStab();
        calm();
        builds();
        mainTheme();
        secondBreak();
        punchSection();
        finale();
    }

private:
    Mixer& mix;
    Noise noise{0x51390u};

    // --- parts shared by several sections ---

    void pads(double from, double to, double level, const std::function<double(double)>& cutoff,
              double attack, double release, double highPass = 0.0)
    {
        for (const Span& s : harmony()) {
            const double a = std::max(s.start, from);
            const double b = std::min(s.end, to);
            if (b - a < 1e-9)
                continue;
            for (int note : s.chord->triad)
                padNote(mix, noise, a, b - a, note, level * kPadTrim, cutoff, attack, release, highPass);
            // Root an octave up for air.
            padNote(mix, noise, a, b - a, s.chord->triad[0] + 12, level * 0.6 * kPadTrim, cutoff, attack, release,
                    highPass);
        }
    }

    // Sixteenth-note arpeggio over two octaves of the current chord.
    void arpeggio(double from, double to, double level, double duty, double delaySend, double highPass = 0.0,
                  int octave = 12)
    {
        static constexpr int kPattern[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3, 5, 4, 3, 2};
        every(from, to, kSixteenth, [&](double t, int i) {
            const Chord& c = chordAt(t);
            const int tones[6] = {c.triad[0], c.triad[1], c.triad[2], c.triad[0] + 12, c.triad[1] + 12,
                                  c.triad[2] + 12};
            const int step = static_cast<int>(std::lround(t / kSixteenth)) % 16;
            const double accent = (step % 4 == 0 ? 1.0 : 0.78) * kArpTrim;
            const double pan = (i % 2 == 0) ? -0.35 : 0.35;
            chipNote(mix, t, 0.1, tones[kPattern[step]] + octave, level * accent, duty, pan, delaySend, highPass);
        });
    }

    void kicks(double from, double to, double level, const KickShape& shape, double duckDepth)
    {
        every(from, to, kBeat, [&](double t, int) {
            kick(mix, noise, t, level * kKickTrim, shape);
            mix.duckAt(t, duckDepth, 0.13);
        });
    }

    // Snare (and optionally a clap) on beats two and four.
    void backbeat(double from, double to, double level, bool withClap)
    {
        every(from, to, kBeat, [&](double t, int) {
            const int beat = static_cast<int>(std::lround(t / kBeat)) % 4;
            if (beat != 1 && beat != 3)
                return;
            snare(mix, noise, t, level * kSnareTrim, 0.25);
            if (withClap)
                clap(mix, noise, t + 0.004, level * 0.7 * kSnareTrim);
        });
    }

    void offbeatHats(double from, double to, double level)
    {
        every(from, to, kBeat, [&](double t, int) { hat(mix, noise, t + kEighth, level * kHatTrim, 0.045, 0.25); });
    }

    // Closed sixteenths with accents, plus an open hat on every off-beat.
    void busyHats(double from, double to, double level, bool open)
    {
        every(from, to, kSixteenth, [&](double t, int i) {
            const int pos = i % 4;
            if (pos == 2 && open) {
                hat(mix, noise, t, level * 0.95 * kHatTrim, 0.16, -0.2);
                return;
            }
            const double accent = pos == 0 ? 0.55 : (pos == 2 ? 1.0 : 0.7);
            hat(mix, noise, t, level * accent * kHatTrim, 0.035, i % 2 ? 0.3 : 0.15);
        });
    }

    // Rolling bass: three sixteenths after each kick, octave jump on the last.
    void rollingBass(double from, double to, double level, double cutoff)
    {
        BassTone tone;
        tone.cutoff = cutoff;
        every(from, to, kSixteenth, [&](double t, int) {
            const int pos = static_cast<int>(std::lround(t / kSixteenth)) % 4;
            if (pos == 0)
                return;
            const Chord& c = chordAt(t);
            const int note = pos == 3 ? c.bass + 12 : c.bass;
            bassNote(mix, t, 0.09, note, level * (pos == 2 ? 1.0 : 0.85) * kBassTrim, tone);
        });
    }

    void snareRoll(double from, double to, double step, double startLevel, double endLevel)
    {
        every(from, to, step, [&](double t, int) {
            const double x = (t - from) / (to - from);
            snare(mix, noise, t, (startLevel + (endLevel - startLevel) * x) * kSnareTrim, 0.3);
        });
    }

    // --- sections ---

    // 0-2 s: an A minor pad swelling out of silence as its filter opens.
    void intro()
    {
        auto opening = [](double t) { return 180.0 * std::pow(3200.0 / 180.0, std::clamp(t / 2.0, 0.0, 1.0)); };
        pads(0.0, 2.0, 0.07, opening, 1.9, 0.7);
        riser(mix, noise, 0.6, 2.0, 400.0, 5000.0, 0.25);
    }

    // 2-11 s: 8-bit arpeggios and a bouncing square bass.
    void chipSection()
    {
        arpeggio(2.0, 11.0, 0.26, 0.25, 0.12);
        every(2.0, 11.0, kEighth, [&](double t, int i) {
            const Chord& c = chordAt(t);
            chipNote(mix, t, 0.16, c.bass + (i % 2 ? 24 : 12), 0.2, 0.5, 0.0, 0.0);
        });
    }

    // 11-16 s: drums come in, kick on every beat, arpeggio goes on.
    void drumsEnter()
    {
        arpeggio(11.0, 16.0, 0.12, 0.5, 0.2);
        kicks(11.0, 16.0, 0.85, kDeepKick, 0.3);
        backbeat(11.0, 16.0, 0.42, false);
        offbeatHats(11.0, 16.0, 0.2);
        snareRoll(15.5, 16.0, kSixteenth, 0.15, 0.35);
    }

    // 16-23 s: the bass line joins under a warm pad.
    void bassJoins()
    {
        crash(mix, noise, 16.0, 0.18);
        arpeggio(16.0, 23.0, 0.1, 0.5, 0.22);
        pads(16.0, 23.0, 0.035, [](double) { return 1400.0; }, 0.3, 0.4);
        kicks(16.0, 23.0, 0.85, kDeepKick, 0.35);
        backbeat(16.0, 23.0, 0.42, false);
        busyHats(16.0, 23.0, 0.17, false);
        rollingBass(16.0, 23.0, 0.33, 320.0);
    }

    // 23-25 s: drums drop out; a noise sweep and the pad rise into the groove.
    void firstBreak()
    {
        auto opening = [](double t) { return 400.0 * std::pow(12.0, std::clamp((t - 23.0) / 2.0, 0.0, 1.0)); };
        pads(23.0, 25.0, 0.06, opening, 0.05, 0.3);
        riser(mix, noise, 23.0, 25.0, 250.0, 9000.0, 0.6);
        snareRoll(24.0, 24.5, kSixteenth, 0.12, 0.25);
        snareRoll(24.5, 25.0, kSixteenth / 2.0, 0.25, 0.45);
    }

    // 25-37 s: everything together.
    void fullGroove()
    {
        crash(mix, noise, 25.0, 0.25);
        crash(mix, noise, 33.0, 0.2);
        arpeggio(25.0, 37.0, 0.085, 0.25, 0.25, 250.0);
        pads(25.0, 37.0, 0.04, [](double t) { return 1600.0 + 500.0 * std::sin(kTwoPi * (t - 25.0) / 8.0); }, 0.1,
             0.3);
        kicks(25.0, 37.0, 0.9, kDeepKick, 0.45);
        backbeat(25.0, 37.0, 0.45, true);
        busyHats(25.0, 37.0, 0.18, true);
        rollingBass(25.0, 37.0, 0.36, 380.0);
        // A first, 8-bit taste of the theme, an octave down; the groove's
        // chords follow the theme's first six bars.
        for (const ThemeStep& s : kTheme)
            if (s.bar < 6)
                chipNote(mix, 25.0 + 2.0 * s.bar + kEighth * s.start, kEighth * s.length - 0.04, s.note - 12,
                         0.13 * kArpTrim, 0.25, 0.0, 0.25);
        snareRoll(36.5, 37.0, kSixteenth / 2.0, 0.2, 0.45);
    }

    // 37-40 s: one big hit, then chord stabs with silence between.
    void hitAndStab()
    {
        kick(mix, noise, 37.0, 1.0 * kKickTrim, kDeepKick);
        boom(mix, 37.0, 55.0, 0.55, 0.5);
        crash(mix, noise, 37.0, 0.35);
        stab(mix, noise, 37.0, {57, 60, 64, 69, 72}, 0.55, 0.7);

        struct Hit {
            double t, length;
            std::vector<int> notes;
            bool kicked;
        };
        const std::vector<Hit> hits{
            {38.0, 0.22, {57, 60, 65, 69}, true},
            {38.375, 0.1, {57, 60, 65, 69}, false},
            {38.75, 0.1, {57, 60, 65, 69}, false},
            {39.0, 0.22, {55, 59, 62, 67}, true},
            {39.5, 0.35, {56, 59, 64, 68}, true},
        };
        for (const Hit& h : hits) {
            stab(mix, noise, h.t, h.notes, 0.45, h.length);
            if (h.kicked)
                kick(mix, noise, h.t, 0.8 * kKickTrim, kDeepKick);
        }
        snare(mix, noise, 39.75, 0.35 * kSnareTrim, 0.5);
    }

    // 40-48 s: soft pad, slow bells, a deep sustained bass; no drums.
    void calm()
    {
        pads(40.0, 48.0, 0.05, [](double t) { return 700.0 + 300.0 * std::sin(kTwoPi * (t - 40.0) / 8.0); }, 1.2,
             1.5);
        static constexpr int kBellPattern[8] = {0, 2, 4, 3, 1, 4, 5, 2};
        every(40.0, 48.0, kBeat, [&](double t, int i) {
            const Chord& c = chordAt(t);
            const int tones[6] = {c.triad[0] + 12, c.triad[1] + 12, c.triad[2] + 12, c.triad[0] + 24,
                                  c.triad[1] + 24, c.triad[2] + 24};
            bell(mix, t, tones[kBellPattern[i % 8]], i % 4 == 0 ? 0.16 : 0.11, i % 2 ? 0.5 : -0.5);
        });
        BassTone soft;
        soft.cutoff = 180.0;
        soft.envelope = 150.0;
        soft.resonance = 0.8;
        soft.sub = 0.9;
        soft.decay = 0.8;
        soft.sustain = 0.7;
        every(40.0, 48.0, 2.0, [&](double t, int) { bassNote(mix, t, 1.9, chordAt(t).bass, 0.2 * kBassTrim, soft); });
    }

    // 48-54 s: three two-second builds, each higher and denser than the last.
    void builds()
    {
        for (int b = 0; b < 3; ++b) {
            const double t0 = 48.0 + 2.0 * b;
            const double lift = 0.75 + 0.125 * b;
            const double lowCut = 300.0 * (b + 1);
            auto opening = [t0, lowCut](double t) {
                return lowCut * std::pow(6000.0 / lowCut, std::clamp((t - t0) / 2.0, 0.0, 1.0));
            };
            pads(t0, t0 + 2.0, 0.045, opening, 0.02, 0.05);
            riser(mix, noise, t0, t0 + 2.0, 300.0 * (b + 1), 8000.0, 0.4 * lift);
            kicks(t0, t0 + 2.0, 0.8 * lift, kDeepKick, 0.4);
            snareRoll(t0, t0 + 1.0, kEighth, 0.15 * lift, 0.3 * lift);
            snareRoll(t0 + 1.0, t0 + 1.5, kSixteenth, 0.3 * lift, 0.42 * lift);
            snareRoll(t0 + 1.5, t0 + 2.0, kSixteenth / 2.0, 0.42 * lift, 0.55 * lift);
            BassTone tone;
            every(t0, t0 + 2.0, kEighth, [&](double t, int i) {
                tone.cutoff = 250.0 + 900.0 * (t - t0) / 2.0;
                bassNote(mix, t, 0.2, chordAt(t).bass + (i % 2 ? 12 : 0), 0.3 * lift * kBassTrim, tone);
            });
            arpeggio(t0 + 1.0, t0 + 2.0, 0.07 * lift, 0.125, 0.1, 300.0, 24);
        }
    }

    // 54-70 s: the main theme over the full groove.
    void mainTheme()
    {
        crash(mix, noise, 54.0, 0.28);
        crash(mix, noise, 62.0, 0.22);
        kicks(54.0, 70.0, 0.9, kDeepKick, 0.45);
        backbeat(54.0, 69.0, 0.45, true);
        busyHats(54.0, 70.0, 0.17, true);
        rollingBass(54.0, 70.0, 0.36, 420.0);
        pads(54.0, 70.0, 0.03, [](double) { return 2000.0; }, 0.1, 0.3);
        arpeggio(54.0, 70.0, 0.05, 0.25, 0.3, 400.0, 24);
        snareRoll(69.0, 69.5, kSixteenth, 0.25, 0.38);
        snareRoll(69.5, 70.0, kSixteenth / 2.0, 0.38, 0.5);

        std::vector<LeadNote> line;
        for (const ThemeStep& s : kTheme)
            line.push_back({54.0 + 2.0 * s.bar + kEighth * s.start, kEighth * s.length - 0.03, s.note});
        // The last note slides straight into the break's long A.
        line.back().held = kEighth;
        line.push_back({70.0, 1.4, 81});
        leadLine(mix, line, 0.3 * kLeadTrim);
    }

    // 70-72 s: drums out; the theme's last note rings over the pad, then a sweep.
    void secondBreak()
    {
        pads(70.0, 72.0, 0.045, [](double t) { return 900.0 + 1500.0 * std::clamp((t - 70.0) / 2.0, 0.0, 1.0); },
             0.05, 0.2);
        arpeggio(70.0, 72.0, 0.05, 0.125, 0.35, 500.0, 24);
        riser(mix, noise, 70.5, 72.0, 500.0, 9000.0, 0.5);
        snareRoll(71.0, 71.5, kSixteenth, 0.12, 0.24);
        snareRoll(71.5, 72.0, kSixteenth / 2.0, 0.24, 0.34);
    }

    // 72-80 s: short, hard kicks and bass stabs around 172 Hz on every beat,
    // nothing low in between, so the bass band pulses twice a second.
    void punchSection()
    {
        crash(mix, noise, 72.0, 0.3);
        BassTone punch;
        punch.cutoff = 700.0;
        punch.envelope = 2600.0;
        punch.envTime = 0.04;
        punch.resonance = 1.3;
        punch.sub = 0.0; // the kick carries the fundamental
        punch.decay = 0.05;
        punch.sustain = 0.35;
        punch.bus = Route::Bus::Drums;
        every(72.0, 80.0, kBeat, [&](double t, int) {
            // F3 or E3: the bass note and the kick body share one pitch, so
            // the two never beat against each other.
            const int note = chordAt(t).bass + 12;
            KickShape shape = kPunchKick;
            shape.endHz = midiHz(note);
            kick(mix, noise, t, 0.95 * kKickTrim, shape);
            mix.duckAt(t, 0.7, 0.13);
            bassNote(mix, t, 0.07, note, 0.42 * kBassTrim, punch);
        });
        every(72.0, 80.0, kBeat, [&](double t, int) {
            const int beat = static_cast<int>(std::lround(t / kBeat)) % 4;
            if (beat == 1 || beat == 3)
                clap(mix, noise, t, 0.4 * kSnareTrim);
        });
        busyHats(72.0, 80.0, 0.26, true);
        arpeggio(72.0, 80.0, 0.15, 0.25, 0.2, 700.0, 12);
        pads(72.0, 80.0, 0.055, [](double) { return 3500.0; }, 0.05, 0.2, 600.0);
    }

    // 80-86 s: the theme's close over the pad and a softer beat, fading out.
    void finale()
    {
        crash(mix, noise, 80.0, 0.25);
        kicks(80.0, 84.0, 0.75, kDeepKick, 0.35);
        offbeatHats(80.0, 84.0, 0.15);
        pads(80.0, 86.0, 0.045, [](double) { return 1800.0; }, 0.2, 1.0);
        BassTone tone;
        tone.cutoff = 260.0;
        tone.decay = 0.5;
        every(80.0, 84.0, kEighth, [&](double t, int i) {
            bassNote(mix, t, 0.2, chordAt(t).bass + (i % 2 ? 12 : 0), 0.28 * kBassTrim, tone);
        });
        bassNote(mix, 84.0, 1.8, Am.bass, 0.3 * kBassTrim, tone);
        struct Step {
            double start, length;
            int note;
        };
        static const std::vector<Step> melody{
            {0, 3, 81}, {3, 1, 79}, {4, 2, 77}, {6, 1, 76}, {7, 1, 77},
            {8, 2, 79}, {10, 1, 77}, {11, 1, 76}, {12, 2, 74}, {14, 2, 76},
            {16, 7, 69},
        };
        std::vector<LeadNote> line;
        for (const Step& s : melody)
            line.push_back({80.0 + kEighth * s.start, kEighth * s.length - 0.03, s.note});
        leadLine(mix, line, 0.27 * kLeadTrim);
        every(84.0, 86.0, kBeat, [&](double t, int i) {
            static constexpr int kClose[4] = {81, 76, 72, 69};
            bell(mix, t, kClose[i % 4], 0.1, i % 2 ? 0.4 : -0.4);
        });
    }
};

} // namespace

Stereo renderSoundtrack(LimiterReport* limiter)
{
    const std::size_t frames = sampleAt(kTrackSeconds);
    Mixer mix(frames);
    Composer(mix).compose();

    // Fade to silence by 86 s; everything after stays at zero.
    std::vector<float>& gain = mix.masterGain();
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        if (t >= 86.0)
            gain[i] = 0.0f;
        else if (t > 80.5) {
            const double c = std::cos(0.5 * kPi * (t - 80.5) / 5.5);
            gain[i] = static_cast<float>(c * c);
        }
    }

    Mixer::Settings settings;
    settings.outputGain = 1.1;
    return mix.master(settings, limiter);
}

} // namespace q9music

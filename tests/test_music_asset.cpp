// The generated soundtrack, read back with the show's own decoder and
// spectrum.
#include "audio/ogg_decoder.h"
#include "audio/spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct DecodedMusic {
    int rate = 0;
    int channels = 0;
    std::vector<float> stereo; // interleaved
    size_t frames() const { return stereo.size() / 2; }
};

const DecodedMusic& music()
{
    static const DecodedMusic decoded = [] {
        DecodedMusic m;
        audio::OggDecoder dec;
        if (!dec.open("vemo.ogg"))
            return m;
        m.rate = dec.rate();
        m.channels = dec.channels();
        std::vector<float> chunk(4096 * 2);
        for (int got; (got = dec.readStereo(chunk.data(), 4096)) > 0;)
            m.stereo.insert(m.stereo.end(), chunk.begin(), chunk.begin() + got * 2);
        return m;
    }();
    return decoded;
}

double dbfs(double v) { return 20.0 * std::log10(std::max(v, 1e-12)); }

TEST(MusicAsset, FormatAndLength)
{
    const DecodedMusic& m = music();
    ASSERT_GT(m.frames(), 0u) << "vemo.ogg missing or undecodable in the run folder";
    EXPECT_EQ(m.rate, 44100);
    EXPECT_EQ(m.channels, 2);
    const double seconds = static_cast<double>(m.frames()) / m.rate;
    EXPECT_GE(seconds, 86.0);
    EXPECT_LE(seconds, 90.0);
}

TEST(MusicAsset, LevelsPeakClippingAndDc)
{
    const DecodedMusic& m = music();
    ASSERT_GT(m.frames(), 0u);
    double peak = 0.0, sum[2] = {0, 0};
    size_t clipped = 0;
    for (size_t i = 0; i < m.stereo.size(); ++i) {
        const double v = m.stereo[i];
        peak = std::max(peak, std::fabs(v));
        clipped += std::fabs(v) >= 1.0;
        sum[i % 2] += v;
    }
    EXPECT_LE(dbfs(peak), -1.0 + 0.3) << "peak " << dbfs(peak) << " dBFS"; // Vorbis may overshoot a little
    EXPECT_EQ(clipped, 0u);
    for (double s : sum)
        EXPECT_LT(std::fabs(s / m.frames()), 0.002) << "DC offset";

    // The busy sections: full groove and the main theme.
    for (auto [from, to] : {std::pair{25.0, 37.0}, std::pair{54.0, 70.0}}) {
        double energy = 0.0;
        const size_t a = static_cast<size_t>(from * m.rate), b = static_cast<size_t>(to * m.rate);
        for (size_t f = a; f < b; ++f)
            energy += 0.5 * (m.stereo[2 * f] * m.stereo[2 * f] + m.stereo[2 * f + 1] * m.stereo[2 * f + 1]);
        const double rms = dbfs(std::sqrt(energy / (b - a)));
        EXPECT_GE(rms, -18.0) << from << " s";
        EXPECT_LE(rms, -10.0) << from << " s";
    }
}

TEST(MusicAsset, BassBinPulsesWithTheBeatDuringTheWobble)
{
    const DecodedMusic& m = music();
    ASSERT_GT(m.frames(), 0u);
    audio::SpectrumAnalyzer analyzer;
    std::vector<float> window(audio::spectrumFftSize), spectrum(audio::spectrumBins);
    // Element 2 as the show reads it, 60 times a second from 72 to 80 s.
    std::vector<float> bin2;
    for (int k = 0; k < 8 * 60; ++k) {
        const size_t end = static_cast<size_t>((72.0 + k / 60.0) * m.rate);
        for (int i = 0; i < audio::spectrumFftSize; ++i) {
            const size_t f = end - audio::spectrumFftSize + i;
            window[i] = 0.5f * (m.stereo[2 * f] + m.stereo[2 * f + 1]);
        }
        analyzer.analyze(window.data(), spectrum.data());
        bin2.push_back(spectrum[2]);
    }
    // Per half-second beat: the loudest frame against the quietest.
    int strongBeats = 0;
    for (int beat = 0; beat < 16; ++beat) {
        const auto first = bin2.begin() + beat * 30, last = first + 30;
        const float hi = *std::max_element(first, last), lo = *std::min_element(first, last);
        strongBeats += hi > 0.15f && lo < 0.5f * hi;
    }
    EXPECT_GE(strongBeats, 15) << "bin 2 should rise and fall twice a second";
}

TEST(MusicAsset, EndsInSilence)
{
    const DecodedMusic& m = music();
    ASSERT_GT(m.frames(), 0u);
    double peak = 0.0;
    for (size_t f = m.frames() - m.rate / 4; f < m.frames(); ++f)
        peak = std::max({peak, std::fabs(static_cast<double>(m.stereo[2 * f])), std::fabs(static_cast<double>(m.stereo[2 * f + 1]))});
    EXPECT_LT(dbfs(peak), -60.0);
}

} // namespace

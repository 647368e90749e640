// Magnitude spectrum of a 512-sample block.
#pragma once
#include <array>

namespace audio {

constexpr int spectrumFftSize = 512;
constexpr int spectrumBins = 256;

class SpectrumAnalyzer {
public:
    SpectrumAnalyzer();
    ~SpectrumAnalyzer();
    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    // Hann-windowed FFT of `samples` (512 mono values); writes 256
    // magnitudes, scaled so that a full-scale sine centred on a bin gives 1
    // there. Allocates nothing.
    void analyze(const float* samples, float* magnitudes);

private:
    struct Impl;
    Impl* impl;
};

} // namespace audio

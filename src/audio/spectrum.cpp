#include "audio/spectrum.h"

#include <kissfft/kiss_fftr.h>

#include <cmath>
#include <vector>

namespace audio {

struct SpectrumAnalyzer::Impl {
    kiss_fftr_cfg cfg = nullptr;
    std::array<float, spectrumFftSize> window{};
    std::array<kiss_fft_scalar, spectrumFftSize> input{};
    std::array<kiss_fft_cpx, spectrumFftSize / 2 + 1> output{};
    float scale = 1.0f;
};

SpectrumAnalyzer::SpectrumAnalyzer() : impl(new Impl)
{
    impl->cfg = kiss_fftr_alloc(spectrumFftSize, 0, nullptr, nullptr);
    double sum = 0.0;
    for (int i = 0; i < spectrumFftSize; ++i) {
        const double w = 0.5 * (1.0 - std::cos(2.0 * M_PI * i / spectrumFftSize));
        impl->window[i] = static_cast<float>(w);
        sum += w;
    }
    // A sine of amplitude A centred on a bin has |X| = A * sum(w) / 2.
    impl->scale = static_cast<float>(2.0 / sum);
}

SpectrumAnalyzer::~SpectrumAnalyzer()
{
    kiss_fftr_free(impl->cfg);
    delete impl;
}

void SpectrumAnalyzer::analyze(const float* samples, float* magnitudes)
{
    for (int i = 0; i < spectrumFftSize; ++i)
        impl->input[i] = samples[i] * impl->window[i];
    kiss_fftr(impl->cfg, impl->input.data(), impl->output.data());
    for (int k = 0; k < spectrumBins; ++k) {
        const float re = impl->output[k].r;
        const float im = impl->output[k].i;
        magnitudes[k] = std::sqrt(re * re + im * im) * impl->scale;
    }
}

} // namespace audio

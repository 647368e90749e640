// Composes, synthesises and encodes the show's soundtrack "vemo.ogg".
// Usage: q9_gen_music <output folder>
#include "score.hpp"
#include "vorbis_writer.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    const std::filesystem::path folder(argv[1]);
    const std::filesystem::path target = folder / "vemo.ogg";
    const std::filesystem::path partial = folder / "vemo.ogg.part";
    try {
        std::filesystem::create_directories(folder);
        q9music::LimiterReport limiter;
        const q9music::Stereo mix = q9music::renderSoundtrack(&limiter);
        const auto rendered = std::chrono::steady_clock::now();
        // The codec can overshoot the limiter's ceiling on sharp noise hits;
        // check the decoded result and re-encode slightly quieter if needed.
        const double allowedPeak = std::pow(10.0, -1.2 / 20.0);
        float scale = 1.0f;
        double peak = 0.0;
        for (int attempt = 0;; ++attempt) {
            q9music::writeOggVorbis(partial.string(), mix, 0.5f, scale);
            peak = q9music::decodedPeak(partial.string());
            if (peak <= allowedPeak)
                break;
            if (attempt == 4)
                throw std::runtime_error("decoded peak stays above -1.2 dBFS");
            scale = static_cast<float>(scale * allowedPeak / peak * 0.98);
        }
        // A half-written file must never look like a finished one.
        std::filesystem::rename(partial, target);
        const auto done = std::chrono::steady_clock::now();
        const double synth = std::chrono::duration<double>(rendered - started).count();
        const double total = std::chrono::duration<double>(done - started).count();
        std::printf("q9_gen_music: limiter at most %.1f dB (over 1 dB on %.1f%% of the track), "
                    "decoded peak %.2f dBFS, output scale %.3f\n",
                    limiter.deepestReductionDb, 100.0 * limiter.busyFraction, 20.0 * std::log10(peak), scale);
        std::printf("q9_gen_music: wrote %s in %.2f s (synthesis %.2f s, encoding and check %.2f s)\n", target.string().c_str(),
                    total, synth, total - synth);
    } catch (const std::exception& e) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        std::fprintf(stderr, "q9_gen_music: %s\n", e.what());
        return 1;
    }
    return 0;
}

#include "app/frame_timer.h"

#include "app/loading_timeline.h"

#include <algorithm>
#include <cmath>
#include <numeric>

FrameStats summarize(std::vector<double> frameMs)
{
    FrameStats s;
    s.frames = static_cast<int>(frameMs.size());
    if (frameMs.empty())
        return s;
    s.meanMs = std::accumulate(frameMs.begin(), frameMs.end(), 0.0) / frameMs.size();
    std::sort(frameMs.begin(), frameMs.end());
    // Nearest-rank 99th percentile.
    const size_t rank = static_cast<size_t>(std::ceil(0.99 * frameMs.size()));
    s.p99Ms = frameMs[std::min(frameMs.size() - 1, rank == 0 ? 0 : rank - 1)];
    return s;
}

FrameTimer::FrameTimer(int segmentCount) : perSegment(static_cast<size_t>(segmentCount)), last(std::chrono::steady_clock::now())
{
    for (auto& v : perSegment)
        v.reserve(4096);
    bare.reserve(1024);
}

void FrameTimer::markShowFrame(int segment)
{
    const auto now = std::chrono::steady_clock::now();
    const double ms = std::chrono::duration<double, std::milli>(now - last).count();
    last = now;
    if (segment >= 1 && segment <= static_cast<int>(perSegment.size()))
        perSegment[static_cast<size_t>(segment - 1)].push_back(ms);
}

void FrameTimer::printReport(std::FILE* out, int width, int height, int fps,
                             const std::vector<std::string>& segmentNames) const
{
    const FrameStats bareStats = summarize(bare);
    std::fprintf(out, "Quorblestration 9 benchmark: %d x %d, %d frames per second of show time, glFinish after every present\n",
                 width, height, fps);
    std::fprintf(out, "%-4s %-22s %7s %9s %9s %9s %8s\n", "seg", "scene", "frames", "mean_ms", "p99_ms", "fps", "x_bare");
    for (size_t i = 0; i < perSegment.size(); ++i) {
        const FrameStats s = summarize(perSegment[i]);
        const std::string name = i < segmentNames.size() ? segmentNames[i] : "";
        std::fprintf(out, "%-4zu %-22s %7d %9.3f %9.3f %9.1f %8.2f\n", i + 1, name.c_str(), s.frames, s.meanMs, s.p99Ms,
                     s.fps(), bareStats.meanMs > 0 ? s.meanMs / bareStats.meanMs : 0.0);
    }
    std::fprintf(out, "%-4s %-22s %7d %9.3f %9.3f %9.1f %8.2f\n", "bare", "clear+present", bareStats.frames,
                 bareStats.meanMs, bareStats.p99Ms, bareStats.fps(), 1.0);
    const double total = loadingTotalSeconds();
    std::fprintf(out, "loading %.3f s (window created to music started)\n", total);
    const auto& stages = loadingStages();
    for (size_t i = 0; i < stages.size(); ++i) {
        const double end = i + 1 < stages.size() ? stages[i + 1].seconds : total;
        const double share = total > 0 ? 100.0 * (end - stages[i].seconds) / total : 0.0;
        std::fprintf(out, "  %-22s %8.3f s %6.1f %%\n", stages[i].name.c_str(), end - stages[i].seconds, share);
    }
    std::fflush(out);
}

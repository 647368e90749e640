// Frame times per segment for --benchmark.
#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct FrameStats {
    int frames = 0;
    double meanMs = 0.0;
    double p99Ms = 0.0;
    double fps() const { return meanMs > 0.0 ? 1000.0 / meanMs : 0.0; }
};

FrameStats summarize(std::vector<double> frameMs);

class FrameTimer {
public:
    explicit FrameTimer(int segmentCount);

    // The frame that began at the previous mark and drew segment `segment`
    // (1-based) is finished now.
    void markShowFrame(int segment);
    void restart() { last = std::chrono::steady_clock::now(); }
    void addBareFrame(double ms) { bare.push_back(ms); }

    // The plain-text table; one row a segment.
    void printReport(std::FILE* out, int width, int height, int fps, const std::vector<std::string>& segmentNames) const;

private:
    std::vector<std::vector<double>> perSegment;
    std::vector<double> bare;
    std::chrono::steady_clock::time_point last;
};

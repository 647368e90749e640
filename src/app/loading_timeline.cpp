#include "app/loading_timeline.h"

namespace {
using Clock = std::chrono::steady_clock;
Clock::time_point began;
bool started = false;
std::vector<LoadingStageTime> stages;
double total = 0.0;

double sinceStart() { return std::chrono::duration<double>(Clock::now() - began).count(); }
} // namespace

void startLoadingTimeline()
{
    began = Clock::now();
    started = true;
    stages.clear();
    total = 0.0;
}

void markLoadingStage(const char* name)
{
    if (started)
        stages.push_back({name ? name : "", sinceStart()});
}

void finishLoadingTimeline()
{
    if (started)
        total = sinceStart();
}

const std::vector<LoadingStageTime>& loadingStages() { return stages; }
double loadingTotalSeconds() { return total; }

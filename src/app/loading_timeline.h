// When each loading stage began, on the real clock, for the benchmark.
#pragma once
#include <chrono>
#include <string>
#include <vector>

struct LoadingStageTime {
    std::string name;
    double seconds; // from the window's creation to the stage's start
};

// Main thread. Stages are marked by the loading sequence as it goes.
void startLoadingTimeline();
void markLoadingStage(const char* name);
// Closes the last stage; the total runs from the window to the music start.
void finishLoadingTimeline();
const std::vector<LoadingStageTime>& loadingStages();
double loadingTotalSeconds();

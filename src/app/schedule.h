// The script of the show: which segment draws at a given show time.
#pragma once
#include <cstdint>

struct ShowAssets;

constexpr uint32_t showEndMs = 86000;

// Draws the frame for show time t (milliseconds since the show clock
// started), or ends the process with status 0 once t reaches the end.
void drawShowFrame(uint32_t t, ShowAssets& assets);

// The pair of picture bars laid over the bottom and top of the frame.
void drawBarOverlay(ShowAssets& assets);

// Index (1 to 17) of the segment that draws at t; 18 for the end.
int segmentAt(uint32_t t);

// The time the segment drawing at t is given (t minus its reference point),
// and whether the bars follow it.
uint32_t segmentLocalTime(uint32_t t);
bool segmentHasBars(int segment);

// A short name of segment 1 to 17, for reports.
const char* segmentName(int segment);

// Called just before the process exits at the end of the show (offline
// recording finishes its file here). Main thread.
void setShowEndHandler(void (*handler)());

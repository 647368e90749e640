// The loading screen's progress record and its bar, in normalized device
// coordinates (x and y from -1 to 1, y up).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct ProgressBar {
    int32_t total = 0; // redraws planned, positive
    int32_t count = 0; // redraws so far; drawProgressBar advances it
    float left = 0;
    float right = 0;
    float top = 0;
    float bottom = 0;
    float thickness = 0; // of the frame strips
    float length = 0; // |left| + |right|: the fill once count reaches total
    std::string caption; // first text line
    std::optional<std::string> status; // second text line, if any
};

// Copies both texts; a null status means no second line. Returns null for a
// total of zero or less, which would leave the fill undefined.
std::unique_ptr<ProgressBar> createProgressBar(float left, float top, float right, float bottom, float thickness,
                                               int total, const char* caption, const char* status);

// Replaces the second line with a copy of `status` (null removes it).
void setProgressStatus(ProgressBar* bar, const char* status);

// Draws the frame and the fill for the current count with identity matrices
// and the current colour, then advances count. Leaves GL_MODELVIEW current.
void drawProgressBar(ProgressBar* bar);

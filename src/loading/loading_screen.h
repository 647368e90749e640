// One frame of the loading screen: background picture, progress bar and two
// text lines.
#pragma once
#include "gfx/texture.h"

class GLWindow;
struct ProgressBar;

// Clears, draws the bar (advancing its count), the caption and the status
// line, then the background over the whole window behind them, and presents.
// Once count has passed total the caption is replaced by a warning naming
// the count, and the result is -1; otherwise 0.
// Leaves the depth test and blending on, texturing off, both matrices
// identity with GL_MODELVIEW current, and texture 0 holding the font.
int updateLoadingScreen(GLWindow& window, ProgressBar* bar, GLWrapper::Texture background);

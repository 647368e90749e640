#pragma once
#include <cstdint>

class GLWindow;
struct ShowAssets;

// One pass per frame until Escape or a quit request; the schedule ends the
// process itself at the end of the show.
void runMainLoop(GLWindow& window, ShowAssets& assets, uint32_t showStart);

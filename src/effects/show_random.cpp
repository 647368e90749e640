#include "effects/show_random.h"

namespace {
uint32_t state = 1;
}

int showRand()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

void resetShowRand() { state = 1; }

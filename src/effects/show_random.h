// The show's one random sequence. Fixed here rather than taken from the C
// library so that every platform scatters the same stars.
#pragma once
#include <cstdint>

// Next value, 0 to 32767: state = state * 214013 + 2531011 (mod 2^32),
// returning bits 16 to 30. The state starts at 1 and is never seeded.
// Process-wide; main thread only.
int showRand();

// Back to the start of the sequence (for tests).
void resetShowRand();

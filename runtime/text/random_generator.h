// RandomGenerator: the process-wide clock-seeded 32-bit generator, and the time of day it is
// seeded from.
#pragma once

#include <cstdint>

namespace runtime {

struct RandomGenerator {
  uint32_t state = 0;      // 0 until the first randomize
  uint32_t lastValue = 0;  // state >> 1 after the last step, below 2^31
};

// One generator for the whole process, with no lock: only the window thread draws.
extern RandomGenerator randomGenerator;

// Local time of day in seconds with millisecond resolution, 0 <= value < 86400.
long double secondsSinceMidnight();

// The local clock it reads, in milliseconds since midnight: one file per platform, apart from the
// division so that a test program can link a clock of its own and know every seed it gives.
int32_t millisecondsSinceMidnight();

// The state becomes the IEEE 754 single-precision bit pattern of x (rounded to nearest even), so
// seeds taken from the clock repeat every 1/256 or 1/128 second; the last value is kept.
void randomize(long double x);

// One step, then a value between the two bounds (given in either order), both included.
int32_t randomRange(int32_t a, int32_t b);

}  // namespace runtime

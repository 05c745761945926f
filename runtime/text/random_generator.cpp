// The linear congruential generator behind every word draw.
#include "runtime/text/random_generator.h"

#include <algorithm>
#include <bit>

namespace runtime {

RandomGenerator randomGenerator;

long double secondsSinceMidnight() {
  return millisecondsSinceMidnight() / 1000.0L;
}

void randomize(long double x) {
  randomGenerator.state = std::bit_cast<uint32_t>(static_cast<float>(x));
}

int32_t randomRange(int32_t a, int32_t b) {
  const int64_t lo = std::min(a, b);
  const int64_t hi = std::max(a, b);
  randomGenerator.state = randomGenerator.state * 134775813u + 1u;
  randomGenerator.lastValue = randomGenerator.state >> 1;
  // floor(u * count) with u = lastValue / 2^31, in exact integers: the product of a value below
  // 2^31 and a count of at most 2^32 fits in 63 bits.
  const uint64_t count = static_cast<uint64_t>(hi - lo + 1);
  return static_cast<int32_t>(lo + static_cast<int64_t>((randomGenerator.lastValue * count) >> 31));
}

}  // namespace runtime

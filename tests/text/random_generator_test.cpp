// The generator's sequences, which must come out bit for bit the same in every build.
#include "runtime/text/random_generator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <limits>

namespace runtime {
namespace {

TEST(RandomGenerator, ReproducesTheKnownSequencesForClockSeeds) {
  struct Case {
    long double seed;
    uint32_t seedState;
    int32_t values[3];
    uint32_t states[3];
  } cases[] = {
      {0.0L, 0, {1, 2748, 75401}, {1, 134775814, 3698175007u}},                            // 00:00:00.000
      {43200.5L, 1193853056, {36620, 25857, 17672}, {1796063873, 1268207750, 866757279}},  // 12:00:00.500
  };
  for (const auto& c : cases) {
    randomize(c.seed);
    EXPECT_EQ(randomGenerator.state, c.seedState);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(randomRange(1, 87568), c.values[i]) << "draw " << i;
      EXPECT_EQ(randomGenerator.state, c.states[i]);
      EXPECT_EQ(randomGenerator.lastValue, c.states[i] >> 1);
    }
  }
}

TEST(RandomGenerator, SeedsAreRoundedToSinglePrecision) {
  // 12:00:00.501 and 12:00:00.500 fall on the same single-precision value: the same seed.
  randomize(43200.501L);
  EXPECT_EQ(randomGenerator.state, 1193853056u);
  randomize(-1.0L);
  EXPECT_EQ(randomGenerator.state, 0xBF800000u);
}

TEST(RandomGenerator, RandomizeKeepsTheLastValue) {
  randomize(0.0L);
  randomRange(1, 10);
  const uint32_t last = randomGenerator.lastValue;
  randomize(5.0L);
  EXPECT_EQ(randomGenerator.lastValue, last);
}

TEST(RandomGenerator, BoundsMayComeInEitherOrder) {
  for (long double seed : {0.0L, 43200.5L, 86399.999L}) {
    randomize(seed);
    const int32_t forward = randomRange(1, 87568);
    randomize(seed);
    EXPECT_EQ(randomRange(87568, 1), forward);
  }
}

TEST(RandomGenerator, StaysWithinEveryRangeUpToTheFull32Bits) {
  constexpr int32_t lowest = std::numeric_limits<int32_t>::min();
  constexpr int32_t highest = std::numeric_limits<int32_t>::max();
  randomize(43200.5L);
  for (int i = 0; i < 1000; ++i) {
    const int32_t one = randomRange(7, 7);
    EXPECT_EQ(one, 7);
    const int32_t small = randomRange(-3, 3);
    EXPECT_TRUE(small >= -3 && small <= 3) << small;
    // The full range uses the count 2^32: every value is lowest plus twice the last value.
    const int32_t full = randomRange(highest, lowest);
    EXPECT_EQ(static_cast<int64_t>(full),
              static_cast<int64_t>(lowest) + 2 * int64_t{randomGenerator.lastValue});
  }
}

// The local time of day in whole seconds, as the C library reads it.
long secondOfDay() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = *std::localtime(&now);
  return local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec;
}

TEST(RandomGenerator, TheClockReadsTheLocalTimeOfDay) {
  // Between two readings of the C library's clock taken around it, give or take the second by
  // which the two clocks may turn over apart; a reading across midnight is taken again.
  long before = 0;
  long after = 0;
  long double now = 0;
  do {
    before = secondOfDay();
    now = secondsSinceMidnight();
    after = secondOfDay();
  } while (after < before);
  EXPECT_GE(now, before - 1.0L);
  EXPECT_LE(now, after + 1.0L);
  EXPECT_LT(now, 86400.0L);
  // Millisecond resolution: a thousandth of the value is a whole number of seconds/1000.
  const long double milliseconds = now * 1000.0L;
  EXPECT_NEAR(
      static_cast<double>(milliseconds - static_cast<long double>(static_cast<int64_t>(milliseconds + 0.5L))),
      0.0, 1e-6);
}

}  // namespace
}  // namespace runtime

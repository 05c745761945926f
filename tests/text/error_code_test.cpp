// The system-error table and the fatal end of the process at 241 and above.
#include "runtime/text/error_code.h"

#include <gtest/gtest.h>

namespace runtime {
namespace {

TEST(ErrorFromSystem, MapsEverySystemErrorAsTheTableSays) {
  struct Run {
    uint32_t first, last;
    int32_t number;
  } runs[] = {
      {1, 1, 75},      {2, 2, 53},
      {3, 3, 76},      {4, 4, 67},
      {5, 5, 70},      {6, 6, 57},
      {7, 7, 241},     {8, 8, 7},
      {9, 10, 241},    {11, 13, 51},
      {14, 14, 7},     {15, 15, 68},
      {16, 16, 75},    {17, 17, 74},
      {18, 18, 53},    {19, 19, 70},
      {20, 20, 68},    {21, 21, 71},
      {22, 22, 51},    {23, 23, 72},
      {24, 24, 51},    {25, 31, 72},
      {32, 33, 70},    {34, 35, 72},
      {36, 36, 70},    {37, 37, 75},
      {38, 38, 62},    {39, 39, 61},
      {40, 86, 75},    {87, 87, 5},
      {88, 111, 75},   {112, 112, 61},
      {113, 5000, 75}, {0xFFFFFFFF, 0xFFFFFFFF, 75},
  };
  for (const auto& run : runs)
    for (uint32_t code = run.first; code >= run.first && code <= run.last; ++code)
      EXPECT_EQ(errorFromSystem(code), run.number) << "system error " << code;
}

TEST(RecordError, KeepsTheLastNumberAndGoesOn) {
  recordError(53);
  recordError(62);
  EXPECT_EQ(errorCode, 62);
  recordError(240);
  EXPECT_EQ(errorCode, 240);
}

// Windows death tests re-run the program in a way Wine does not carry through, so this runs natively.
#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
TEST(RecordErrorDeathTest, NumbersFrom241EndTheProcessWith255) {
  EXPECT_EXIT(recordError(241), testing::ExitedWithCode(255), "");
  EXPECT_EXIT(recordError(errorFromSystem(9)), testing::ExitedWithCode(255), "");
}
#endif

}  // namespace
}  // namespace runtime

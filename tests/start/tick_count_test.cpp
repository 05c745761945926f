// The 64-bit millisecond count on systems with only the 32-bit clock (Windows before Vista).
#include "runtime/start/tick_count.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

// Declared as the system declares it; the program's calls go through its own import pointer.
extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();
#endif

namespace runtime {
namespace {

TEST(TickCount, CountsEveryWrapOfTheThirtyTwoBitClock) {
  struct Case {
    uint64_t last;
    uint32_t now;
    uint64_t widened;
  } cases[] = {
      {0, 0, 0},
      {0, 1234, 1234},
      {1234, 1234, 1234},
      {0xFFFF'FFF0, 0xFFFF'FFFF, 0xFFFF'FFFF},
      {0xFFFF'FFF0, 0x10, 0x1'0000'0010},
      {0x3'FFFF'FFF0, 0x10, 0x4'0000'0010},
      {0x3'0000'0005, 7, 0x3'0000'0007},
  };
  for (const Case& c : cases) EXPECT_EQ(widenTickCount(c.last, c.now), c.widened) << c.last << " " << c.now;
}

#ifdef _WIN32
// Both ways a program's GetTickCount64 may go, the system's and the counted one, read the clock
// that GetTickCount reads.
TEST(TickCount, TheProgramsGetTickCount64ReadsTheSystemsClock) {
  for (ULONGLONG (*count)() :
       {+[] { return GetTickCount64(); }, +[] { return ULONGLONG{countedTickCount()}; }}) {
    const DWORD before = GetTickCount();
    const uint64_t first = count();
    const DWORD after = GetTickCount();
    EXPECT_LE(static_cast<DWORD>(first) - before, after - before);
    EXPECT_GE(count(), first);
  }
}
#endif

}  // namespace
}  // namespace runtime

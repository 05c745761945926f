// The guarded system-call path's error mode: quiet while a call runs and as it was after it, on the
// thread's own mode and on the process's, which is all that systems before Windows 7 have.
#include "runtime/start/guarded_call.h"

#include <gtest/gtest.h>

namespace runtime {
namespace {

constexpr UINT quiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
constexpr UINT before = SEM_NOGPFAULTERRORBOX;

UINT processMode() {
  const UINT mode = SetErrorMode(0);
  SetErrorMode(mode);
  return mode;
}

TEST(QuietErrorMode, IsQuietWhileItLivesAndAsBeforeAfter) {
  // Missing here, the guard would take the slow process-wide way on every system.
  ASSERT_NE(setThreadErrorMode, nullptr);
  const DWORD threadAtStart = GetThreadErrorMode();
  const UINT processAtStart = processMode();
  struct Case {
    const char* name;
    SetThreadErrorModeCall threadCall;
    UINT (*read)();
    void (*set)(UINT);
  } cases[] = {
      {"the thread's own", setThreadErrorMode, [] { return static_cast<UINT>(GetThreadErrorMode()); },
       [](UINT mode) { setThreadErrorMode(mode, nullptr); }},
      {"the process's", nullptr, processMode, [](UINT mode) { SetErrorMode(mode); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.set(before);
    const UINT processOutside = processMode();
    {
      const QuietErrorMode quietMode(c.threadCall);
      EXPECT_EQ(c.read(), quiet);
      if (c.threadCall) {
        EXPECT_EQ(processMode(), processOutside) << "the process's mode is not touched";
      }
    }
    EXPECT_EQ(c.read(), before);
  }
  setThreadErrorMode(threadAtStart, nullptr);
  SetErrorMode(processAtStart);
}

}  // namespace
}  // namespace runtime

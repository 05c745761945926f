// The guarded system-call path: the error mode quiet while a call runs and as it was after it, on the
// thread's own mode and on the process's, which is all that systems before Windows 7 have; and the
// floating-point control state put back, the SSE register only where the processor has one.
#include "runtime/start/floating_point_control.h"
#include "runtime/start/quiet_error_mode.h"

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

struct ControlState {
  uint16_t x87 = 0;
  uint32_t sse = 0;
};

ControlState controlState() {
  ControlState state;
  __asm__ volatile("fnstcw %0" : "=m"(state.x87));
  __asm__ volatile("stmxcsr %0" : "=m"(state.sse));
  return state;
}

void setControlState(ControlState state) {
  __asm__ volatile("fldcw %0" : : "m"(state.x87));
  __asm__ volatile("ldmxcsr %0" : : "m"(state.sse));
}

TEST(FloatingPointControl, PutsBackWhatTheCallChanged) {
  // Every processor that runs this has SSE; told otherwise, the guard would leave its register.
  ASSERT_TRUE(processorHasSse);
  constexpr uint16_t x87Rounding = 0x0C00;
  constexpr uint32_t sseRounding = 0x6000;
  for (const bool withSse : {true, false}) {
    SCOPED_TRACE(withSse);
    const ControlState before = controlState();
    {
      const FloatingPointControl kept(withSse);
      setControlState({static_cast<uint16_t>(before.x87 ^ x87Rounding), before.sse ^ sseRounding});
    }
    const ControlState after = controlState();
    setControlState(before);
    EXPECT_EQ(after.x87, before.x87);
    EXPECT_EQ(after.sse, withSse ? before.sse : before.sse ^ sseRounding);
  }
}

}  // namespace
}  // namespace runtime

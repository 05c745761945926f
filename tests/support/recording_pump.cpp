// doEvents for tests: records each yield, and sleeps only a wait longer than the game's usual 1 ms,
// so long searches run at full speed while a retry after a failed open still gives the program that
// holds the list, the real game beside an end-to-end test's mirror among them, time to let go.
#include "tests/support/recording_pump.h"

#include <chrono>
#include <thread>

#include "runtime/host/message_pump.h"

namespace test_support {

PumpRecord pump;

}  // namespace test_support

namespace runtime {

int32_t doEvents(int32_t sleepMilliseconds) {
  ++test_support::pump.calls;
  test_support::pump.lastSleep = sleepMilliseconds;
  if (sleepMilliseconds > 1 && test_support::pump.sleeps)
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMilliseconds));
  if (test_support::pump.onYield) test_support::pump.onYield();
  return 0;
}

}  // namespace runtime

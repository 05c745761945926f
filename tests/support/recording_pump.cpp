// doEvents for tests: records each yield instead of sleeping, so long searches run at full speed.
#include "tests/support/recording_pump.h"

#include "runtime/host/message_pump.h"

namespace test_support {

PumpRecord pump;

}  // namespace test_support

namespace runtime {

int32_t doEvents(int32_t sleepMilliseconds) {
  ++test_support::pump.calls;
  test_support::pump.lastSleep = sleepMilliseconds;
  if (test_support::pump.onYield) test_support::pump.onYield();
  return 0;
}

}  // namespace runtime

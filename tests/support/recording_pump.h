// A stand-in for doEvents that counts the yields and can act during one, in place of a window.
#pragma once

#include <cstdint>
#include <functional>

namespace test_support {

struct PumpRecord {
  int32_t calls = 0;
  int32_t lastSleep = -1;
  std::function<void()> onYield;  // runs inside each yield, as a message handler would
  bool sleeps = true;             // false for a test that moves a clock of its own instead
};

extern PumpRecord pump;

}  // namespace test_support

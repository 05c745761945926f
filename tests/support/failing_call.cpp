#include "tests/support/failing_call.h"

#ifdef _WIN32
#include <windows.h>
#endif

std::optional<runtime::SystemCall> test_support::failingCall;

bool runtime::callFails(SystemCall call) noexcept {
  if (call != test_support::failingCall) return false;
#ifdef _WIN32
  SetLastError(ERROR_READ_FAULT);  // what the skipped call would have left
#endif
  return true;
}

#include "tests/support/failing_call.h"

#ifdef _WIN32
#include <windows.h>
#endif

std::optional<runtime::SystemCall> test_support::failingCall;
int test_support::failuresLeft = 0;
int test_support::failingKindAsked = 0;
void (*test_support::onFailure)() = nullptr;

bool runtime::callFails(SystemCall call) noexcept {
  if (call != test_support::failingCall) return false;
  ++test_support::failingKindAsked;
  if (test_support::failuresLeft == 0) return false;
  --test_support::failuresLeft;
  if (test_support::onFailure) test_support::onFailure();
#ifdef _WIN32
  SetLastError(ERROR_READ_FAULT);  // what the skipped call would have left
#endif
  return true;
}

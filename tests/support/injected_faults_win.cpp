// The fault-sweep build's answer to callFails, linked into the game in place of the program's own:
// it follows the plan that the driver shares with the game, and the game alone reads it.
#include "tests/support/injected_faults.h"

namespace {

test_support::FaultPlan* SharedPlan() {
  // Looking the plan up must not leave an error behind for the call that asked first.
  const DWORD lastError = GetLastError();
  test_support::FaultPlan* plan = nullptr;
  wchar_t name[64] = {};
  const DWORD length = GetEnvironmentVariableW(test_support::faultPlanVariable, name, 64);
  if (length > 0 && length < 64) {
    // Left open until the process ends: the plan is read at every call.
    if (HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name))
      plan = static_cast<test_support::FaultPlan*>(
          MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(test_support::FaultPlan)));
  }
  SetLastError(lastError);
  return plan;
}

}  // namespace

namespace runtime {

bool callFails(SystemCall call) noexcept {
  static test_support::FaultPlan* const plan = SharedPlan();
  if (!plan) return false;
  const auto kind = static_cast<LONG>(call);
  const LONG n = InterlockedIncrement(&plan->calls[kind]);
  if (kind != plan->kind || n < plan->firstCall || n > plan->lastCall) return false;
  InterlockedIncrement(&plan->failed[kind]);
  SetLastError(plan->error);
  return true;
}

}  // namespace runtime

// What a fault-sweep run asks of the game and what the game counts, in memory both share: the
// driver makes it, names it in LETRAZUL_FAULT_PLAN and starts the game, which fails the calls it
// names and counts every call of every kind.
#pragma once

#include <windows.h>

#include "runtime/start/failing_calls.h"

namespace test_support {

struct FaultPlan {
  LONG kind;                              // the runtime::SystemCall to fail, or -1 for none
  LONG firstCall;                         // the first of its calls to fail, counted from 1
  LONG lastCall;                          // the last: firstCall for one, LONG_MAX for every later one too
  DWORD error;                            // the last error a failed call leaves
  LONG calls[runtime::systemCallKinds];   // calls asked about so far, by kind
  LONG failed[runtime::systemCallKinds];  // of which failed
};

inline constexpr wchar_t faultPlanVariable[] = L"LETRAZUL_FAULT_PLAN";

}  // namespace test_support

// A stand-in for the runtime's callFails that a test steers: the kind of system call set here fails,
// as when a disk stops answering or memory runs out. A program that links failing_call.cpp takes
// this answer in place of the runtime's own, which makes every call.
#pragma once

#include <climits>
#include <optional>

#include "runtime/start/failing_calls.h"

namespace test_support {

extern std::optional<runtime::SystemCall> failingCall;
extern int failuresLeft;      // of the failing kind's calls, the next this many fail
extern int failingKindAsked;  // calls of the failing kind asked about since it was set
extern void (*onFailure)();   // called at each failure, as the time a stalled call takes

// Fails `call`, its next `times` calls or every one, from here to the end of the scope.
class FailingCall {
 public:
  explicit FailingCall(runtime::SystemCall call, int times = INT_MAX) {
    failingCall = call;
    failuresLeft = times;
    failingKindAsked = 0;
  }
  ~FailingCall() { failingCall.reset(); }
  FailingCall(const FailingCall&) = delete;
  FailingCall& operator=(const FailingCall&) = delete;
};

}  // namespace test_support

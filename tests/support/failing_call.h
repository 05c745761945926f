// A stand-in for the runtime's callFails that a test steers: the kind of system call set here fails,
// as when a disk stops answering or memory runs out. A program that links failing_call.cpp takes
// this answer in place of the runtime's own, which makes every call.
#pragma once

#include <optional>

#include "runtime/start/failing_calls.h"

namespace test_support {

extern std::optional<runtime::SystemCall> failingCall;

// Fails `call` from here to the end of the scope.
class FailingCall {
 public:
  explicit FailingCall(runtime::SystemCall call) { failingCall = call; }
  ~FailingCall() { failingCall.reset(); }
  FailingCall(const FailingCall&) = delete;
  FailingCall& operator=(const FailingCall&) = delete;
};

}  // namespace test_support

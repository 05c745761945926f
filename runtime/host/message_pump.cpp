// doEvents' part every platform shares: the count of yields and the refused negative wait.
#include "runtime/host/message_pump.h"

#include <atomic>

#include "runtime/host/pump_once.h"
#include "runtime/text/error_code.h"

namespace runtime {

namespace {

std::atomic<int64_t> yields{0};

}  // namespace

int64_t yieldCount() {
  return yields;
}

int32_t doEvents(int32_t sleepMilliseconds) {
  ++yields;
  // Below 0 the wait would be Windows' INFINITE, or near it: refused, and taken as no wait.
  if (sleepMilliseconds < 0) {
    recordError(error::illegalCall);
    sleepMilliseconds = 0;
  }
  return pumpOnce(sleepMilliseconds);
}

}  // namespace runtime

// doEvents for the native build, which has no window system: there is never a message waiting.
#include <chrono>
#include <thread>

#include <atomic>

#include "runtime/host/message_pump.h"
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
  // As on Windows, where a wait below 0 would never end: refused, and taken as no wait.
  if (sleepMilliseconds < 0) {
    recordError(error::illegalCall);
    sleepMilliseconds = 0;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(sleepMilliseconds));
  return 0;
}

}  // namespace runtime

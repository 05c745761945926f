// doEvents for the native build, which has no window system: there is never a message waiting.
#include <chrono>
#include <thread>

#include <atomic>

#include "runtime/host/message_pump.h"

namespace runtime {

namespace {

std::atomic<int64_t> yields{0};

}  // namespace

int64_t yieldCount() {
  return yields;
}

int32_t doEvents(int32_t sleepMilliseconds) {
  ++yields;
  std::this_thread::sleep_for(std::chrono::milliseconds(sleepMilliseconds));
  return 0;
}

}  // namespace runtime

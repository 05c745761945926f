// doEvents for the native build, which has no window system: there is never a message waiting.
#include <chrono>
#include <thread>

#include "runtime/host/pump_once.h"

namespace runtime {

int32_t pumpOnce(int32_t sleepMilliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(sleepMilliseconds));
  return 0;
}

}  // namespace runtime

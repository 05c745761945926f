// doEvents in the page: a yield to the browser, then at most one of its queued events.
#include <emscripten.h>

#include <cstdint>

#include "runtime/host/page_host.h"
#include "runtime/host/pump_once.h"

namespace runtime {

namespace {

// clang-format off
EM_ASYNC_JS(void, sleepFor, (int32_t milliseconds), {
  await new Promise(resolve => setTimeout(resolve, milliseconds));
});
// clang-format on

}  // namespace

int32_t pumpOnce(int32_t sleepMilliseconds) {
  // The yield lets the browser take in input and paint; what it queued is then handled as one
  // message. A wait of 1 ms is what the yield costs already; longer ones (the word list's
  // retries) are waited out on a timer, whose clamp is nothing beside them.
  yieldToBrowser();
  if (!deliverWaitingEvent() && sleepMilliseconds > 1) sleepFor(sleepMilliseconds);
  return pageOpen() ? 1 : 0;
}

}  // namespace runtime

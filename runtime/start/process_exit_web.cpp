// Process exit in the page: the program ends, the page stays and says so.
#include <emscripten.h>

#include "runtime/start/process_exit.h"

namespace runtime {

namespace {

// clang-format off
// The program's frames are set aside waiting for what never comes: the page drops the module, and
// with it them, when it starts the game again.
EM_ASYNC_JS(void, jsProgramEnded, (uint32_t exitCode), {
  if (Module.onProgramEnded) Module.onProgramEnded(exitCode);
  await new Promise(() => {});
});
// clang-format on

}  // namespace

// Nothing of the program runs again; the browser's loop goes on.
void endProcess(uint32_t exitCode) {
  jsProgramEnded(exitCode);
  __builtin_unreachable();
}

}  // namespace runtime

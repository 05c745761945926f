// Process exit in the page: the program ends, the page stays and says so.
#include <emscripten.h>

#include "runtime/start/process_exit.h"

namespace runtime {

namespace {

EM_JS(void, jsProgramEnded, (uint32_t exitCode), {
  if (Module.onProgramEnded) Module.onProgramEnded(exitCode);
});

}  // namespace

void endProcess(uint32_t exitCode) {
  jsProgramEnded(exitCode);
  emscripten_force_exit(static_cast<int>(exitCode));
}

}  // namespace runtime

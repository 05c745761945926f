// What the runtime learned about the process at start-up.
#include "runtime/start/process_state.h"

namespace runtime {

ProcessState processState;

HINSTANCE moduleInstance() {
  return processState.module ? processState.module : GetModuleHandleW(nullptr);
}

}  // namespace runtime

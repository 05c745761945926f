// Process exit on Windows.
#include "runtime/start/process_exit.h"

#include <windows.h>

namespace runtime {

void endProcess(uint32_t exitCode) {
  ExitProcess(exitCode);
}

}  // namespace runtime

// Process exit for the native build.
#include "runtime/start/process_exit.h"

#include <cstdlib>

namespace runtime {

void endProcess(uint32_t exitCode) {
  std::_Exit(static_cast<int>(exitCode));
}

}  // namespace runtime

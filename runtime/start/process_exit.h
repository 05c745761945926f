// Ending the process from anywhere in the runtime, as a fatal runtime error must.
#pragma once

#include <cstdint>

namespace runtime {

// Ends the process at once with `exitCode`; no destructor of the caller's frames runs.
[[noreturn]] void endProcess(uint32_t exitCode);

}  // namespace runtime

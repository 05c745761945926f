// The process's private memory, for tests that run something many times and expect no growth.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <cstdint>

namespace test_support {

inline int64_t privateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  return static_cast<int64_t>(counters.PrivateUsage);
}

}  // namespace test_support

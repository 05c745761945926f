// What the runtime learned about the process at start-up.
#pragma once

#include <windows.h>

#include <cstdint>

namespace runtime {

struct ProcessState {
  HINSTANCE module = nullptr;
  const wchar_t* arguments = L"";
  int32_t showCommand = SW_SHOWDEFAULT;
};

extern ProcessState processState;

// The program's module, for its resources; asked of the system when start-up has not run (tests).
HINSTANCE moduleInstance();

}  // namespace runtime

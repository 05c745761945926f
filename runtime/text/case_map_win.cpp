// Lower-casing through Windows, which knows the ANSI code page in force.
#include <windows.h>

#include "runtime/text/case_map.h"

namespace runtime {

void lowerBytes(char* bytes, int32_t count) noexcept {
  if (count > 0) CharLowerBuffA(bytes, static_cast<DWORD>(count));
}

}  // namespace runtime

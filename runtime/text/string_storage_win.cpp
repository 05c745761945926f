// ByteString storage from the OLE string allocator, so a block is also a valid byte-length BSTR.
#include <windows.h>

#include <oleauto.h>

#include "runtime/start/failing_calls.h"
#include "runtime/text/string_storage.h"

namespace runtime::storage {

char* allocateChars(uint32_t count) noexcept {
  auto* chars = callFails(SystemCall::stringMemory)
                    ? nullptr
                    : reinterpret_cast<char*>(SysAllocStringByteLen(nullptr, count));
  if (chars) chars[count] = '\0';
  return chars;
}

void releaseChars(char* chars) noexcept {
  SysFreeString(reinterpret_cast<BSTR>(chars));
}

uint32_t storedLength(const char* chars) noexcept {
  return SysStringByteLen(reinterpret_cast<BSTR>(const_cast<char*>(chars)));
}

}  // namespace runtime::storage

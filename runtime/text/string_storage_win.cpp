// ByteString storage from the OLE string allocator, so a block is also a valid byte-length BSTR.
#include "runtime/start/system_calls.h"
#include "runtime/text/string_storage.h"

namespace runtime::storage {

char* allocateChars(uint32_t count) noexcept {
  auto* chars = reinterpret_cast<char*>(sys::allocateString(count));
  if (!chars) return nullptr;
  chars[count] = '\0';
  countBlocks(1);
  return chars;
}

void releaseChars(char* chars) noexcept {
  if (!chars) return;
  SysFreeString(reinterpret_cast<BSTR>(chars));
  countBlocks(-1);
}

uint32_t storedLength(const char* chars) noexcept {
  return SysStringByteLen(reinterpret_cast<BSTR>(const_cast<char*>(chars)));
}

}  // namespace runtime::storage

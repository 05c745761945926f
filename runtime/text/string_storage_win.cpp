// ByteString storage from the OLE string allocator, so a block is also a valid byte-length BSTR.
#include <windows.h>

#include <oleauto.h>

#include <atomic>

#include "runtime/start/failing_calls.h"
#include "runtime/text/string_storage.h"

namespace runtime::storage {

namespace {
std::atomic<int64_t> live{0};
}

char* allocateChars(uint32_t count) noexcept {
  auto* chars = callFails(SystemCall::stringMemory)
                    ? nullptr
                    : reinterpret_cast<char*>(SysAllocStringByteLen(nullptr, count));
  if (!chars) return nullptr;
  chars[count] = '\0';
  ++live;
  return chars;
}

void releaseChars(char* chars) noexcept {
  if (!chars) return;
  SysFreeString(reinterpret_cast<BSTR>(chars));
  --live;
}

uint32_t storedLength(const char* chars) noexcept {
  return SysStringByteLen(reinterpret_cast<BSTR>(const_cast<char*>(chars)));
}

int64_t liveBlocks() noexcept {
  return live;
}

}  // namespace runtime::storage

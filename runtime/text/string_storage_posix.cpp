// ByteString storage for the native build: the same layout as a byte-length BSTR, from malloc.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "runtime/start/failing_calls.h"
#include "runtime/text/string_storage.h"

namespace runtime::storage {

namespace {
constexpr size_t headerSize = sizeof(uint32_t);
std::atomic<int64_t> live{0};
}  // namespace

char* allocateChars(uint32_t count) noexcept {
  auto* block =
      callFails(SystemCall::stringMemory) ? nullptr : static_cast<char*>(std::malloc(headerSize + count + 1));
  if (!block) return nullptr;
  std::memcpy(block, &count, headerSize);
  char* chars = block + headerSize;
  chars[count] = '\0';
  ++live;
  return chars;
}

void releaseChars(char* chars) noexcept {
  if (!chars) return;
  std::free(chars - headerSize);
  --live;
}

uint32_t storedLength(const char* chars) noexcept {
  uint32_t count;
  std::memcpy(&count, chars - headerSize, headerSize);
  return count;
}

int64_t liveBlocks() noexcept {
  return live;
}

}  // namespace runtime::storage

// ByteString storage for the native build: the same layout as a byte-length BSTR, from malloc.
#include <cstdlib>
#include <cstring>

#include "runtime/start/failing_calls.h"
#include "runtime/text/string_storage.h"

namespace runtime::storage {

namespace {
constexpr size_t headerSize = sizeof(uint32_t);
}  // namespace

char* allocateChars(uint32_t count) noexcept {
  auto* block =
      callFails(SystemCall::stringMemory) ? nullptr : static_cast<char*>(std::malloc(headerSize + count + 1));
  if (!block) return nullptr;
  std::memcpy(block, &count, headerSize);
  char* chars = block + headerSize;
  chars[count] = '\0';
  countBlocks(1);
  return chars;
}

void releaseChars(char* chars) noexcept {
  if (!chars) return;
  std::free(chars - headerSize);
  countBlocks(-1);
}

uint32_t storedLength(const char* chars) noexcept {
  uint32_t count;
  std::memcpy(&count, chars - headerSize, headerSize);
  return count;
}

}  // namespace runtime::storage

// ByteString's ownership rules: exact-size blocks, value copies, no storage for the empty string.
#include "runtime/text/byte_string.h"

#include <cstring>

#include "runtime/text/error_code.h"
#include "runtime/text/string_storage.h"

namespace runtime {

ByteString::ByteString(const char* bytes, int32_t count) {
  if (count > 0 && allocate(count)) std::memcpy(chars_, bytes, static_cast<size_t>(count));
}

ByteString::ByteString(std::string_view text) : ByteString(text.data(), static_cast<int32_t>(text.size())) {}

ByteString::ByteString(const ByteString& other) : ByteString(other.chars_, other.size()) {}

ByteString& ByteString::operator=(const ByteString& other) {
  if (this == &other) return *this;
  const int32_t count = other.size();
  // A value of the same length goes into the block we already have.
  if (count > 0 && count == size()) {
    std::memcpy(chars_, other.chars_, static_cast<size_t>(count));
    return *this;
  }
  ByteString copy(other);
  return *this = std::move(copy);
}

ByteString& ByteString::operator=(ByteString&& other) noexcept {
  if (this != &other) {
    release();
    chars_ = other.chars_;
    other.chars_ = nullptr;
  }
  return *this;
}

ByteString::~ByteString() {
  release();
}

int32_t ByteString::size() const noexcept {
  return chars_ ? static_cast<int32_t>(storage::storedLength(chars_)) : 0;
}

bool ByteString::allocate(int32_t count) {
  chars_ = storage::allocateChars(static_cast<uint32_t>(count));
  if (!chars_) recordError(error::outOfMemory);
  return chars_ != nullptr;
}

void ByteString::release() noexcept {
  if (chars_) storage::releaseChars(chars_);
  chars_ = nullptr;
}

}  // namespace runtime

// FixedText: a NUL-terminated byte buffer of fixed size inside its owner, as words and paths use.
#pragma once

#include <cstdint>
#include <cstring>

#include "runtime/text/byte_string.h"

namespace runtime {

// Holds at most N - 1 characters. Assignment copies up to the source's first NUL or N - 1 bytes,
// whichever comes first, and cuts longer values silently.
template <int32_t N>
class FixedText {
  static_assert(N >= 1);

 public:
  FixedText& operator=(const ByteString& value) noexcept {
    const char* source = value.data();
    int32_t count = 0;
    while (count < value.size() && count < N - 1 && source[count] != '\0') ++count;
    std::memcpy(bytes_, source, static_cast<size_t>(count));
    bytes_[count] = '\0';
    return *this;
  }

  // The bytes up to the first NUL.
  ByteString text() const { return ByteString(bytes_, static_cast<int32_t>(std::strlen(bytes_))); }
  const char* data() const noexcept { return bytes_; }

 private:
  char bytes_[N] = {};
};

}  // namespace runtime

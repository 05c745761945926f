// ByteString: the runtime's counted 8-bit string, in which all of the game's text lives.
#pragma once

#include <cstdint>
#include <string_view>

namespace runtime {

// A counted run of code page 1252 bytes with a NUL after the characters, so that it can be handed
// to an ANSI call as it is. Any byte, NUL included, may occur inside. The empty string owns no
// storage. Copies copy; moves hand the block over. When storage cannot be had, the result is the
// empty string and error 7 is recorded.
class ByteString {
 public:
  ByteString() noexcept = default;
  ByteString(const char* bytes, int32_t count);
  // For literals and test data: every byte of `text`, NULs included.
  explicit ByteString(std::string_view text);

  ByteString(const ByteString& other);
  ByteString(ByteString&& other) noexcept : chars_(other.chars_) { other.chars_ = nullptr; }
  ByteString& operator=(const ByteString& other);
  ByteString& operator=(ByteString&& other) noexcept;
  ~ByteString();

  // A string of `count` bytes written by `fill(char* bytes)`; empty when count <= 0 or when
  // storage fails (then `fill` is not called).
  template <typename Fill>
  static ByteString build(int32_t count, Fill&& fill) {
    ByteString result;
    if (count > 0 && result.allocate(count)) fill(result.chars_);
    return result;
  }

  int32_t size() const noexcept;
  bool empty() const noexcept { return chars_ == nullptr; }
  // Never null: the empty string reads as "".
  const char* data() const noexcept { return chars_ ? chars_ : ""; }
  std::string_view view() const noexcept { return {data(), static_cast<size_t>(size())}; }
  // The byte at 0-based `index`, as an unsigned value.
  unsigned char byteAt(int32_t index) const noexcept { return static_cast<unsigned char>(chars_[index]); }

  friend bool operator==(const ByteString& a, const ByteString& b) noexcept { return a.view() == b.view(); }

 private:
  bool allocate(int32_t count);
  void release() noexcept;

  char* chars_ = nullptr;
};

}  // namespace runtime

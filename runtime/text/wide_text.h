// Conversions between the game's ANSI text and the UTF-16 that Windows calls take.
#pragma once

#include <string>

#include "runtime/text/byte_string.h"

namespace runtime {

// A UTF-16 copy of a ByteString made with the ANSI code page (precomposed), owned for the length
// of one Windows call and released with it.
class WideText {
 public:
  explicit WideText(const ByteString& text);
  const wchar_t* c_str() const noexcept { return text_.c_str(); }
  int32_t size() const noexcept { return static_cast<int32_t>(text_.size()); }

 private:
  std::wstring text_;
};

// The ANSI form of `count` UTF-16 characters; characters the code page lacks become its default.
ByteString narrowText(const wchar_t* text, int32_t count);

}  // namespace runtime

// Conversions from the program's 8-bit text to the UTF-16 that Windows calls take.
#pragma once

#include <string>

#include "runtime/text/byte_string.h"

namespace runtime {

// A UTF-16 copy of a ByteString (precomposed), owned for the length of one Windows call and
// released with it. The game's own texts are code page 1252 on every system; what the system gave
// the program, a path for one, is in the system's ANSI code page.
class WideText {
 public:
  static WideText ofGameText(const ByteString& text);
  static WideText ofSystemText(const ByteString& text);
  const wchar_t* c_str() const noexcept { return text_.c_str(); }
  int32_t size() const noexcept { return static_cast<int32_t>(text_.size()); }

 private:
  WideText(const ByteString& text, uint32_t codePage);
  std::wstring text_;
};

}  // namespace runtime

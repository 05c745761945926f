// ANSI <-> UTF-16 at the boundary of each Windows call.
#include <windows.h>

#include "runtime/text/wide_text.h"

namespace runtime {

WideText::WideText(const ByteString& text) {
  if (text.empty()) return;
  const int needed = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.data(), text.size(), nullptr, 0);
  if (needed <= 0) return;
  text_.resize(static_cast<size_t>(needed));
  MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.data(), text.size(), text_.data(), needed);
}

ByteString narrowText(const wchar_t* text, int32_t count) {
  if (count <= 0) return {};
  const int needed = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
  return ByteString::build(
      needed, [&](char* out) { WideCharToMultiByte(CP_ACP, 0, text, count, out, needed, nullptr, nullptr); });
}

}  // namespace runtime

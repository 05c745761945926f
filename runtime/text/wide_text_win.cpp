// 8-bit text to UTF-16 at the boundary of each Windows call.
#include <windows.h>

#include "runtime/text/wide_text.h"

namespace runtime {

namespace {

constexpr UINT GameCodePage = 1252;

}  // namespace

WideText WideText::ofGameText(const ByteString& text) {
  return WideText(text, GameCodePage);
}

WideText WideText::ofSystemText(const ByteString& text) {
  return WideText(text, CP_ACP);
}

WideText::WideText(const ByteString& text, uint32_t codePage) {
  if (text.empty()) return;
  const int needed = MultiByteToWideChar(codePage, MB_PRECOMPOSED, text.data(), text.size(), nullptr, 0);
  if (needed <= 0) return;
  text_.resize(static_cast<size_t>(needed));
  MultiByteToWideChar(codePage, MB_PRECOMPOSED, text.data(), text.size(), text_.data(), needed);
}

}  // namespace runtime

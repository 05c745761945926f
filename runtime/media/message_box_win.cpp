// messageBox: a system message box with no owner window.
#include <windows.h>

#include "runtime/media/message_box.h"
#include "runtime/text/wide_text.h"

namespace runtime {

int32_t messageBox(const ByteString& message, const ByteString& title, int32_t style) {
  const WideText text(message);
  const WideText caption(title.empty() ? ByteString("Letrazul") : title);
  // A short pause lets a click that led here finish before the box takes the focus.
  Sleep(5);
  // No owner: the game's window stays usable while the box is open.
  return MessageBoxW(nullptr, text.c_str(), caption.c_str(), static_cast<UINT>(style));
}

}  // namespace runtime

// messageBox: a system message box with no owner window.
#include <windows.h>

#include <atomic>

#include "runtime/media/message_box.h"
#include "runtime/start/system_calls.h"
#include "runtime/text/wide_text.h"

namespace runtime {

namespace {

std::atomic<int32_t> openBoxes{0};

}  // namespace

int32_t openMessageBoxCount() {
  return openBoxes;
}

void wakeMessageBoxLoops() {
  if (openBoxes > 0) PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

int32_t messageBox(const ByteString& message, const ByteString& title, int32_t style) {
  const WideText text = WideText::ofGameText(message);
  const WideText caption = WideText::ofGameText(title.empty() ? ByteString("Letrazul") : title);
  // A short pause lets a click that led here finish before the box takes the focus.
  Sleep(5);
  // No owner: the game's window stays usable while the box is open.
  ++openBoxes;
  const int32_t button = sys::messageBox(text.c_str(), caption.c_str(), static_cast<UINT>(style));
  --openBoxes;
  return button;
}

}  // namespace runtime

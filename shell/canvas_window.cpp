// Left-button presses on the Canvas become pad input; every message then reaches the Canvas too.
#include "shell/canvas_window.h"

#include "shell/player_input.h"

namespace shell {

WNDPROC previousCanvasProc = nullptr;

void InstallCanvasWindowProc(HWND canvas) {
  // The wide forms, like the Canvas's own procedure, so no message is converted on the way.
  previousCanvasProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(canvas, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CanvasWindowProc)));
}

LRESULT CALLBACK CanvasWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) SubmitInput({PlayerInput::Press, static_cast<uint32_t>(lParam)});
  return CallWindowProcW(previousCanvasProc, window, message, wParam, lParam);
}

}  // namespace shell

// The Canvas's window procedure in front of its own: it turns left-button presses into input.
#pragma once

#include <windows.h>

namespace shell {

// The Canvas's procedure before ours; every message goes on to it.
extern WNDPROC previousCanvasProc;

void InstallCanvasWindowProc(HWND canvas);
LRESULT CALLBACK CanvasWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shell

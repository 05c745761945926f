// The game's one window: a captioned dialog with the "Opciones" menu, covered by the Canvas.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/main_window.h"

namespace shell {

// Builds the dialog, hooks the Canvas and shows it modally; returns the dialog's result once the
// window is gone.
int32_t CreateMainDialog(HWND parent);
// The dialog as CreateMainDialog shows it: decorated, its Canvas cleared and hooked, its menu on.
HWND BuildMainDialog(HWND parent);
// The menu bar, put on the dialog; null when any part of it could not be made.
HMENU BuildMenuBar(HWND dialog);
INT_PTR MainDialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shell

// The dialog host: dialogs built from parameters at run time, their graphic controls and menus, a
// modal polling loop, and delivery of every message to the program's callback.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/host/window_record.h"
#include "runtime/text/byte_string.h"

namespace runtime {

enum class DialogUnits { dialogUnits, pixels };

// A hidden dialog. In pixels, width x height is its client size and x, y its screen position
// (0x80000000 for either centres it in the work area). 0 when it cannot be made.
HWND createDialog(DialogUnits units, HWND parent, const ByteString& title, int32_t x, int32_t y,
                  int32_t width, int32_t height, uint32_t style, uint32_t exStyle);

// The icon resource `name` ("#200"), at 32 x 32 and 16 x 16, for a dialog.
void setDialogIcon(HWND dialog, const ByteString& name);

// A child control; of the host's types the game uses the graphic one, which carries a canvas.
void addControl(HWND dialog, int32_t id, int32_t type, const ByteString& text, int32_t x, int32_t y,
                int32_t width, int32_t height, uint32_t style, uint32_t exStyle, DialogCallback callback);
HWND controlHandle(HWND dialog, int32_t id);

HMENU newMenuBar();
HMENU newPopupMenu();
inline constexpr uint32_t menuBeforeCommand = 1;  // `position` is the command id to insert before
// Inserts an item at 1-based `position` (-1 appends). A text of exactly "-" is a separator.
void addMenuItem(HMENU menu, const ByteString& text, uint32_t commandId, uint32_t state, int32_t position,
                 HMENU submenu, DialogCallback itemCallback, uint32_t flags);
BOOL attachMenu(HWND window, HMENU menu);

// Shows the dialog and runs its loop until the window is gone; `*result` then holds the value given
// to endDialog.
void showModal(HWND dialog, DialogCallback callback, int32_t* result);
// The one way a host dialog ends: the notices of its end from anywhere else, the thread's own
// DestroyWindow among them, are refused, as any process can send or post them.
void endDialog(HWND dialog, int32_t result);

}  // namespace runtime

// The dialog host's globals that the message pump reads.
#pragma once

#include <windows.h>

#include <cstdint>

namespace runtime {

// The host dialog that was activated last; null after it is deactivated.
extern HWND activeDialog;
// Host dialogs that have had WM_INITDIALOG and not yet WM_DESTROY.
extern int32_t openDialogCount;

// The accelerator table a host dialog's record holds, if any; the dialog owns it and destroys it
// as it ends.
HACCEL dialogAccelerators(HWND dialog);
void setDialogAccelerators(HWND dialog, HACCEL table);

// No dialog active or open: as at start-up and at exit.
void resetHostState();

}  // namespace runtime

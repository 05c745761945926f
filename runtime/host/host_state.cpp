// The dialog host's globals, kept current by the host as dialogs open, activate and close.
#include "runtime/host/host_state.h"

#include "runtime/host/window_record.h"

namespace runtime {

HWND activeDialog = nullptr;
int32_t openDialogCount = 0;

HACCEL dialogAccelerators(HWND dialog) {
  WindowRecord record;
  return findRecord(dialog, record) ? record.accelerators : nullptr;
}

void setDialogAccelerators(HWND dialog, HACCEL table) {
  updateRecord(dialog, [&](WindowRecord& record) { record.accelerators = table; });
}

void resetHostState() {
  activeDialog = nullptr;
  openDialogCount = 0;
}

}  // namespace runtime

// WindowRecord: the dialog host's bookkeeping for each dialog and control it made, in one registry.
#pragma once

#include <windows.h>

#include <cstdint>

namespace runtime {

// Receives a dialog's messages; 0 leaves a message to the host's default handling, anything else
// is the answer.
using DialogCallback = INT_PTR (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace record_kind {
inline constexpr uint32_t dialogUnits = 1;
inline constexpr uint32_t pixels = 2;
inline constexpr uint32_t modal = 4;  // shown by showModal
inline constexpr uint32_t child = 8;  // a control
inline constexpr uint32_t dialog = 16;
}  // namespace record_kind

inline constexpr int32_t graphicControlType = 1;

struct WindowRecord {
  HWND window = nullptr;
  HWND parent = nullptr;  // a dialog's parent (none for the game), or a control's dialog
  uint32_t kind = 0;
  int32_t showCommand = SW_SHOW;
  HFONT font = nullptr;
  DialogCallback callback = nullptr;
  int32_t* resultTarget = nullptr;
  HACCEL accelerators = nullptr;
  COLORREF textColour = 0;
  COLORREF backColour = 0;
  int32_t type = 0;  // 0 for a dialog
  uint32_t style = 0;
  uint32_t exStyle = 0;
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  // A dialog's: the dialog manager's procedure behind the host's, as this window had it (software
  // in the process may give each dialog its own as it is made).
  WNDPROC managerProc = nullptr;
  bool ending = false;  // endDialog is destroying the window
};

// Adds a copy of `record`; false when its window already has one.
bool registerWindow(const WindowRecord& record);
// A copy of the window's record, or false when it has none. Copies, so that no callback ever runs
// while the registry is held.
bool findRecord(HWND window, WindowRecord& record);
// Changes the window's record in place; false when it has none.
template <typename Change>
bool updateRecord(HWND window, Change&& change);
// Marks the dialog, its controls and the host dialogs it owns, theirs too, as ending.
void markEnding(HWND dialog);
// Releases the records of the dialog's controls, then the dialog's own, with what they own.
void releaseDialogRecords(HWND dialog);
int32_t windowRecordCount();

// Implementation detail of updateRecord.
bool updateRecordWith(HWND window, void (*apply)(WindowRecord&, void*), void* context);

template <typename Change>
bool updateRecord(HWND window, Change&& change) {
  return updateRecordWith(
      window, [](WindowRecord& record, void* context) { (*static_cast<Change*>(context))(record); },
      static_cast<void*>(&change));
}

}  // namespace runtime

// The registry of window records: newest first, looked up by window, held only for walks.
#include "runtime/host/window_record.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "runtime/canvas/draw_target.h"
#include "runtime/start/spin_lock.h"

namespace runtime {

namespace {

SpinLock registryLock;
std::vector<WindowRecord> records;  // newest first

WindowRecord* lookUp(HWND window) {
  for (WindowRecord& record : records)
    if (record.window == window) return &record;
  return nullptr;
}

// What a record owns, released after it has left the registry.
void releaseOwned(const WindowRecord& record) {
  if (record.type == graphicControlType) releaseControlTarget(record.window);
  if (record.bigIcon) DestroyIcon(record.bigIcon);
  if (record.smallIcon) DestroyIcon(record.smallIcon);
}

}  // namespace

bool registerWindow(const WindowRecord& record) {
  std::lock_guard guard(registryLock);
  if (!record.window || lookUp(record.window)) return false;
  records.insert(records.begin(), record);
  return true;
}

bool findRecord(HWND window, WindowRecord& record) {
  std::lock_guard guard(registryLock);
  const WindowRecord* found = lookUp(window);
  if (found) record = *found;
  return found != nullptr;
}

bool updateRecordWith(HWND window, void (*apply)(WindowRecord&, void*), void* context) {
  std::lock_guard guard(registryLock);
  WindowRecord* found = lookUp(window);
  if (found) apply(*found, context);
  return found != nullptr;
}

void markEnding(HWND dialog) {
  std::vector<HWND> controls;
  {
    std::lock_guard guard(registryLock);
    std::vector<HWND> dialogs{dialog};
    for (size_t i = 0; i < dialogs.size(); ++i) {
      for (WindowRecord& record : records) {
        if (record.ending || (record.window != dialogs[i] && record.parent != dialogs[i])) continue;
        record.ending = true;
        if (record.type == graphicControlType)
          controls.push_back(record.window);
        else if (record.window != dialogs[i])
          dialogs.push_back(record.window);  // a dialog it owns, which the system destroys with it
      }
    }
  }
  // Outside the registry: the canvas takes its own lock.
  for (HWND control : controls) controlEnding(control);
}

void releaseDialogRecords(HWND dialog) {
  std::vector<WindowRecord> released;
  {
    std::lock_guard guard(registryLock);
    // The controls first, then the dialog.
    for (bool controls : {true, false}) {
      auto belongs = [&](const WindowRecord& record) {
        return controls ? (record.kind & record_kind::child) && record.parent == dialog
                        : record.window == dialog;
      };
      std::copy_if(records.begin(), records.end(), std::back_inserter(released), belongs);
      std::erase_if(records, belongs);
    }
  }
  for (const WindowRecord& record : released) releaseOwned(record);
}

int32_t windowRecordCount() {
  std::lock_guard guard(registryLock);
  return static_cast<int32_t>(records.size());
}

}  // namespace runtime

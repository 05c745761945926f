// The dialog host's globals, kept current by the host as dialogs open, activate and close.
#include "runtime/host/host_state.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "runtime/start/spin_lock.h"

namespace runtime {

HWND activeDialog = nullptr;
int32_t openDialogCount = 0;

namespace {
SpinLock acceleratorLock;
std::vector<std::pair<HWND, HACCEL>> accelerators;
}  // namespace

HACCEL dialogAccelerators(HWND dialog) {
  std::lock_guard guard(acceleratorLock);
  for (const auto& [window, table] : accelerators)
    if (window == dialog) return table;
  return nullptr;
}

void setDialogAccelerators(HWND dialog, HACCEL table) {
  std::lock_guard guard(acceleratorLock);
  std::erase_if(accelerators, [&](const auto& entry) { return entry.first == dialog; });
  if (table) accelerators.emplace_back(dialog, table);
}

void resetHostState() {
  activeDialog = nullptr;
  openDialogCount = 0;
  std::lock_guard guard(acceleratorLock);
  accelerators.clear();
}

}  // namespace runtime

// What this process's heaps hold: the blocks in use and their bytes, walked heap by heap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace test_support {

struct HeapUse {
  int32_t heaps = 0;
  int64_t busyBytes = 0;
  int64_t blocks = 0;
};

inline HeapUse measureHeaps() {
  HeapUse use;
  std::vector<HANDLE> heaps(64);
  DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  if (count > heaps.size()) {
    heaps.resize(count);
    count = GetProcessHeaps(count, heaps.data());
  }
  use.heaps = static_cast<int32_t>(count);
  for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
        use.busyBytes += entry.cbData;
        ++use.blocks;
      }
    HeapUnlock(heaps[i]);
  }
  return use;
}

}  // namespace test_support

// Built into the counted game only (letrazul_counted): a thread that publishes, twice a second, what
// the runtime holds and how much memory the process's heaps use, so a long test can tell which
// of them grows; it counts the string blocks in place of the program's countBlocks, which counts
// nothing. The game itself is the same code.
#include <windows.h>

#include <tlhelp32.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "runtime/canvas/draw_target.h"
#include "runtime/canvas/font_table.h"
#include "runtime/host/window_record.h"
#include "runtime/text/string_storage.h"
#include "runtime/text/text_file.h"
#include "tests/support/heap_use.h"
#include "tests/support/runtime_counts.h"

namespace {

std::atomic<int64_t> liveStrings{0};

int64_t PrivateCommitted() {
  int64_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (auto* at = static_cast<const char*>(nullptr);
       VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
      total += static_cast<int64_t>(region.RegionSize);
    if (static_cast<const char*>(region.BaseAddress) + region.RegionSize < at) break;
  }
  return total;
}

int32_t ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  int32_t threads = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    threads += entry.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snapshot);
  return threads;
}

DWORD WINAPI Publish(void*) {
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(test_support::RuntimeCounts),
                                      test_support::runtimeCountsName(GetCurrentProcessId()).c_str());
  if (!mapping) return 1;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(test_support::RuntimeCounts));
  if (!view) return 1;
  for (uint32_t update = 1;; ++update) {
    test_support::RuntimeCounts counts;
    counts.updates = update;
    counts.targets = runtime::targetCount();
    counts.windowRecords = runtime::windowRecordCount();
    counts.fonts = runtime::fontCount();
    counts.openFiles = runtime::openFileCount();
    counts.liveStrings = liveStrings;
    const test_support::HeapUse heaps = test_support::measureHeaps();
    counts.heaps = heaps.heaps;
    counts.heapBusyBytes = heaps.busyBytes;
    counts.heapBlocks = heaps.blocks;
    counts.privateBytes = PrivateCommitted();
    counts.threads = ThreadCount();
    std::memcpy(view, &counts, sizeof counts);
    Sleep(500);
  }
}

// Started as the program loads, before its main procedure runs; it lives as long as the process.
const bool started = [] {
  if (HANDLE thread = CreateThread(nullptr, 0, Publish, nullptr, 0, nullptr)) CloseHandle(thread);
  return true;
}();

}  // namespace

// In place of the program's own, which counts nothing.
void runtime::storage::countBlocks(int32_t change) noexcept {
  liveStrings += change;
}

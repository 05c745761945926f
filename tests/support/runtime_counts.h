// What the runtime holds inside a running game, published by the counted build of the game
// (tests/support/runtime_counts_probe.cpp) for a test in another process to read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace test_support {

struct RuntimeCounts {
  uint32_t updates = 0;       // how many times the figures were taken
  int32_t targets = 0;        // canvas pictures and controls, each with a DC and a bitmap
  int32_t windowRecords = 0;  // the dialog host's records
  int32_t fonts = 0;          // the font table's entries
  int32_t openFiles = 0;      // the text-file service's
  int64_t liveStrings = 0;    // string storage blocks not yet released
  int64_t heapBusyBytes = 0;  // in use in every heap of the process
  int64_t heapBlocks = 0;     // blocks in use in every heap
  int64_t privateBytes = 0;   // committed private memory of the Windows address space
  int32_t heaps = 0;
  int32_t threads = 0;
};

inline std::wstring runtimeCountsName(DWORD processId) {
  return L"letrazul-runtime-counts-" + std::to_wstring(processId);
}

// The latest figures of the counted game running as `processId`; none for any other program.
inline std::optional<RuntimeCounts> readRuntimeCounts(DWORD processId) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, runtimeCountsName(processId).c_str());
  if (!mapping) return std::nullopt;
  std::optional<RuntimeCounts> counts;
  if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(RuntimeCounts))) {
    // The writer takes a fresh copy every time; two equal reads are one whole update.
    unsigned char first[sizeof(RuntimeCounts)], second[sizeof(RuntimeCounts)];
    do {
      std::memcpy(first, view, sizeof first);
      Sleep(1);
      std::memcpy(second, view, sizeof second);
    } while (std::memcmp(first, second, sizeof first) != 0);
    RuntimeCounts read{};
    std::memcpy(&read, first, sizeof read);
    counts = read;
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  return counts;
}

}  // namespace test_support

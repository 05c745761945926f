// The runtime's record of the main thread, kept in a thread-local-storage slot.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstdint>

namespace runtime {

// Lives in a zero-filled 128-byte block from GlobalAlloc, as it always has; the fields later parts
// of the runtime read start with the values set by createThreadRecord.
struct ThreadRecord {
  int32_t fontNumbers[4];  // default fonts; the first is the dialog font
  uint32_t codePage;       // for every ANSI/UTF-16 conversion: 0, the ANSI code page
  HANDLE openHandle;       // a handle the runtime holds for the thread, if any
  HANDLE fileSearch;       // a pending file search, if any
  BSTR strings[6];         // the thread's runtime strings
};
static_assert(sizeof(ThreadRecord) <= 128);

// Allocates the thread slot and the main thread's record; false when either cannot be had.
bool createThreadRecord();
// The calling thread's record, or null before start-up.
ThreadRecord* threadRecord();
// Closes what the record holds, frees it and the slot.
void releaseThreadRecord();

}  // namespace runtime

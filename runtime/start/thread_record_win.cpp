// The main thread's runtime record and its thread-local-storage slot.
#include "runtime/start/thread_record.h"

#include <new>

#include "runtime/start/system_calls.h"

namespace runtime {

namespace {
DWORD slot = TLS_OUT_OF_INDEXES;
constexpr SIZE_T recordSize = 128;
}  // namespace

bool createThreadRecord() {
  slot = sys::tlsAlloc();
  if (slot == TLS_OUT_OF_INDEXES) return false;
  void* block = sys::globalAlloc(GPTR, recordSize);
  if (!block) return false;
  // Constructed in place, every field value-initialised; cppcheck takes placement new for a read.
  // cppcheck-suppress legacyUninitvar
  auto* record = new (block) ThreadRecord{};
  record->fontNumbers[0] = 1;
  record->fontNumbers[1] = 1;
  record->fontNumbers[2] = 2;
  record->fontNumbers[3] = 3;
  if (!sys::tlsSetValue(slot, record)) {
    record->~ThreadRecord();
    GlobalFree(record);
    return false;
  }
  return true;
}

ThreadRecord* threadRecord() {
  return slot == TLS_OUT_OF_INDEXES ? nullptr : static_cast<ThreadRecord*>(TlsGetValue(slot));
}

void releaseThreadRecord() {
  ThreadRecord* record = threadRecord();
  if (record) {
    if (record->openHandle) CloseHandle(record->openHandle);
    if (record->fileSearch) FindClose(record->fileSearch);
    for (BSTR text : record->strings) SysFreeString(text);
    record->~ThreadRecord();
    GlobalFree(record);
  }
  if (slot != TLS_OUT_OF_INDEXES) TlsFree(slot);
  slot = TLS_OUT_OF_INDEXES;
}

}  // namespace runtime

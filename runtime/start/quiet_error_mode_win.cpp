// The quiet error mode: the thread's own where the system has one, else the process's.
#include "runtime/start/quiet_error_mode.h"

namespace runtime {

namespace {

constexpr UINT quietMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

SetThreadErrorModeCall lookUpSetThreadErrorMode() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return nullptr;
  return reinterpret_cast<SetThreadErrorModeCall>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetThreadErrorMode")));
}

}  // namespace

const SetThreadErrorModeCall setThreadErrorMode = lookUpSetThreadErrorMode();

QuietErrorMode::QuietErrorMode(SetThreadErrorModeCall threadCall) : threadCall_(threadCall) {
  if (threadCall_)
    threadCall_(quietMode, &previous_);
  else
    previous_ = SetErrorMode(quietMode);
}

QuietErrorMode::~QuietErrorMode() {
  if (threadCall_)
    threadCall_(previous_, nullptr);
  else
    SetErrorMode(previous_);
}

}  // namespace runtime

// What the system-call guard learns of the system as the program starts, and its error mode: the
// thread's own where the system has one, else the process's.
#include "runtime/start/guarded_call.h"

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

// Every x86-64 processor has SSE.
const bool processorHasSse = sizeof(void*) == 8 || IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE);

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

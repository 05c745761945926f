// The process entry: start-up in a fixed order, the program's main procedure, and the exit.
#include <windows.h>

#include "runtime/canvas/draw_target.h"
#include "runtime/canvas/font_table.h"
#include "runtime/host/host_state.h"
#include "runtime/host/message_guard.h"
#include "runtime/start/command_line.h"
#include "runtime/start/process_start.h"
#include "runtime/start/process_state.h"
#include "runtime/start/system_calls.h"
#include "runtime/start/thread_record.h"
#include "runtime/text/text_file.h"

namespace runtime {

namespace {

constexpr uint16_t floatingPointControl = 0x133F;  // every exception masked, 64-bit precision, nearest

// Step 9: whatever the program may have left from before starts empty, and the x87 unit computes
// with full precision and no traps.
void initialiseProgram() {
  closeAllFiles();
  resetHostState();
  resetFontTable();
  __asm__ volatile("fldcw %0" : : "m"(floatingPointControl));
}

void releaseRuntime(ReleaseProcedure releaseGlobals) {
  if (releaseGlobals) releaseGlobals();
  closeAllFiles();
  resetHostState();
  releaseAllTargets();
  releaseFontTable();
  releaseThreadRecord();
  releaseMessageGuard();
}

}  // namespace

void runProgram(MainProcedure main, ReleaseProcedure releaseGlobals) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
    MessageBoxA(nullptr, "Win98 No Support", nullptr, MB_TASKMODAL | MB_SETFOREGROUND);
    ExitProcess(255);
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  processState.showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  processState.arguments = argumentText(GetCommandLineW());
  processState.module = GetModuleHandleW(nullptr);
  if (!createThreadRecord()) ExitProcess(255);

  // The game needs neither to play: a failure of either leaves it as it is. The classes are the
  // runtime's and the game's in one call: the standard, Windows 95, date, internet, pager and
  // font-control classes.
  const bool comStarted = SUCCEEDED(sys::coInitialize());
  sys::initCommonControls(0x79FF);
  initialiseProgram();
  // The game goes on without the guard where the system refuses the hook.
  guardThreadMessages();

  const int32_t exitCode =
      main(processState.module, nullptr, processState.arguments, processState.showCommand);

  releaseRuntime(releaseGlobals);
  if (comStarted) CoUninitialize();
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace runtime

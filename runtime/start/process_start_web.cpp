// The process entry in the page: start-up, the program's main procedure, and the exit.
#include "runtime/canvas/page_canvas.h"
#include "runtime/start/process_exit.h"
#include "runtime/start/process_start.h"
#include "runtime/text/text_file.h"

namespace runtime {

// No Windows 9x to refuse, no command line and no show command: the page is the one way the
// program starts, so main gets no arguments and "show normally".
void runProgram(MainProcedure main, ReleaseProcedure releaseGlobals) {
  closeAllFiles();
  resetFontTable();
  const int32_t exitCode = main(nullptr, nullptr, L"", 1);
  if (releaseGlobals) releaseGlobals();
  closeAllFiles();
  releaseAllTargets();
  releaseFontTable();
  endProcess(static_cast<uint32_t>(exitCode));
}

}  // namespace runtime

// The page's entry point of letrazul.wasm: everything happens in the runtime's process entry.
#include "runtime/start/process_start.h"
#include "shell/program_main.h"

int main() {
  runtime::runProgram(shell::ProgramMain, shell::ReleaseProgramGlobals);
}

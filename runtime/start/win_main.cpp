// The Windows entry point of letrazul.exe: everything happens in the runtime's process entry.
#include <windows.h>

#include "runtime/start/process_start.h"
#include "shell/program_main.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  runtime::runProgram(shell::ProgramMain, shell::ReleaseProgramGlobals);
}

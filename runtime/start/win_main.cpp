// The Windows entry point of letrazul.exe.
#include <windows.h>

#include "runtime/start/process_exit.h"
#include "shell/program_main.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  runtime::endProcess(static_cast<uint32_t>(shell::ProgramMain()));
}

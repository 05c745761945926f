// Process start-up and exit: what the runtime prepares before the program's main procedure runs
// and releases after it returns.
#pragma once

#include <cstdint>

namespace runtime {

// The program's main procedure, called once with the module instance, 0, the argument text and
// the show command, as a classic Windows main function is; its result is the exit code.
using MainProcedure = int32_t (*)(void* module, void* previous, const wchar_t* arguments,
                                  int32_t showCommand);

// Releases the program's own global strings and tables before the process ends.
using ReleaseProcedure = void (*)();

// The process entry: refuses the Windows 9x family, prepares the runtime, calls `main`, releases
// everything and ends the process with main's result. Never returns.
[[noreturn]] void runProgram(MainProcedure main, ReleaseProcedure releaseGlobals);

}  // namespace runtime

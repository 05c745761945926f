// The game's main procedure, called by the runtime once the process is set up.
#pragma once

#include <cstdint>

namespace shell {

// Runs the game; the four arguments of a classic Windows main function are not used. Returns the
// process's exit code.
int32_t ProgramMain(void* module, void* previous, const wchar_t* arguments, int32_t showCommand);

// Releases the game's global strings before the process ends.
void ReleaseProgramGlobals();

}  // namespace shell

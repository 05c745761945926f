// The game's main procedure, called by the runtime once the process is set up.
#pragma once

namespace shell {

// Runs the game and returns the process's exit code.
int ProgramMain();

}  // namespace shell

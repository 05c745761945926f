// The game's main procedure.
#include "shell/program_main.h"

namespace shell {

// There is no main window to open yet, so the program ends at once and successfully.
int ProgramMain() { return 0; }

}  // namespace shell

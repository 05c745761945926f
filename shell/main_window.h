// The game's one window as the shell sees it on every platform: its menu commands, the author
// message, and the few things each platform's window does its own way.
#pragma once

#include <cstdint>

namespace shell {

inline constexpr uint32_t NewGameCommand = 1002;  // "Nueva Partida"
inline constexpr uint32_t AuthorCommand = 1007;   // "Autor"
inline constexpr uint32_t QuitCommand = 1005;     // "Salir del programa"

// The author message: four lines, the second the project's web address.
extern const char* const AuthorMessage;

// The first frame, shown as the window opens: the folder the word list is read from, the screen's
// fonts, and the empty pad.
void ShowStartUpFrame();

// The platform's seams.
// Shows the window and runs it until it is gone; returns its result.
int32_t RunMainWindow();
// Whether the window is still there to take input.
bool MainWindowOpen();
// Ends the window: its loop returns once the running input is over.
void CloseMainWindow();
// Sets the game's programDir and programFolder: where the word list is looked for.
void FindProgramFolder();

}  // namespace shell

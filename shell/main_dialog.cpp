// The main dialog: its making, its menu, its start-up frame and the three menu commands.
#include "shell/main_dialog.h"

#include <iterator>
#include <string>

#include "game/game_state.h"
#include "game/screen.h"
#include "runtime/canvas/canvas.h"
#include "runtime/host/dialog_host.h"
#include "runtime/media/message_box.h"
#include "runtime/text/error_code.h"
#include "shell/canvas_window.h"
#include "shell/player_input.h"

namespace shell {

using namespace runtime;

namespace {

constexpr uint32_t MainDialogStyle = 0x94C200D4;  // popup, caption, minimise box; no system menu
constexpr uint32_t MainDialogExStyle = WS_EX_CONTROLPARENT;
constexpr uint32_t CanvasStyle = 0x50800100;  // child, visible, border, notify

HWND savedFocus = nullptr;

}  // namespace

// The folder of the program file with its trailing backslash, in both forms the game keeps.
void FindProgramFolder() {
  char ansi[255] = {};
  const DWORD ansiLength = GetModuleFileNameA(GetModuleHandleA(nullptr), ansi, sizeof(ansi));
  const std::string ansiPath(ansi, ansiLength < sizeof(ansi) ? ansiLength : sizeof(ansi) - 1);
  game::gameState.programDir = ByteString(ansiPath.substr(0, ansiPath.find_last_of('\\') + 1));

  // The ANSI path is cut at 254 characters and loses what the code page cannot spell, so the word
  // list is found through the whole UTF-16 path instead.
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (length < wide.size()) {
      wide.resize(length);
      break;
    }
    wide.resize(wide.size() * 2);
  }
  const size_t slash = wide.find_last_of(L'\\');
  wide.resize(slash == std::wstring::npos ? 0 : slash + 1);
  game::gameState.programFolder.assign(wide.begin(), wide.end());
}

bool MainWindowOpen() {
  return IsWindow(reinterpret_cast<HWND>(game::mainDialog));
}

void CloseMainWindow() {
  endDialog(reinterpret_cast<HWND>(game::mainDialog), 0);
}

HMENU BuildMenuBar(HWND dialog) {
  HMENU bar = newMenuBar();
  HMENU options = newPopupMenu();
  if (!bar || !options) return nullptr;
  addMenuItem(bar, ByteString("Opciones"), 0, 0, -1, options, nullptr, 0);
  const struct {
    const char* text;
    uint32_t id;
  } items[] = {{"Nueva Partida", NewGameCommand},
               {"-", 0},
               {"Autor", AuthorCommand},
               {"-", 0},
               {"Salir del programa", QuitCommand}};
  for (const auto& item : items)
    addMenuItem(options, ByteString(item.text), item.id, 0, -1, nullptr, nullptr, 0);
  const bool complete = GetMenuItemCount(bar) == 1 &&
                        GetMenuItemCount(options) == static_cast<int>(std::size(items)) &&
                        attachMenu(dialog, bar);
  return complete ? bar : nullptr;
}

INT_PTR MainDialogCallback(HWND, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      RunStep(ShowStartUpFrame);
      break;
    case WM_NCACTIVATE:
      // Switching away and back gives the keyboard focus back to where it was.
      if (wParam == 0) {
        savedFocus = GetFocus();
      } else if (savedFocus) {
        SetFocus(savedFocus);
        savedFocus = nullptr;
      }
      break;
    case WM_COMMAND: {
      const uint32_t id = LOWORD(wParam);
      if (id == NewGameCommand || id == AuthorCommand || id == QuitCommand)
        SubmitInput({PlayerInput::Command, id});
      break;
    }
    default:
      break;
  }
  return 0;
}

HWND BuildMainDialog(HWND parent) {
  HWND dialog = createDialog(DialogUnits::pixels, parent, ByteString("Letrazul"), 105, 114, 800, 618,
                             MainDialogStyle, MainDialogExStyle);
  game::mainDialog = reinterpret_cast<TargetHandle>(dialog);
  setDialogIcon(dialog, ByteString("#200"));
  addControl(dialog, game::CanvasId, graphicControlType, ByteString(), 0, 0, 800, 600, CanvasStyle, 0,
             nullptr);
  const bool canvasReady = attachTarget(game::mainDialog, game::CanvasId);
  setColours(0x000000, 0xFFFFFF);
  clearTarget(systemColour, 0);
  InstallCanvasWindowProc(controlHandle(dialog, game::CanvasId));
  // Without its Canvas the window could show no game, and without every menu command the player
  // could not leave it, as it has no caption buttons: the program cannot start.
  if (!dialog || !canvasReady || !BuildMenuBar(dialog)) recordError(error::firstFatal);
  return dialog;
}

int32_t CreateMainDialog(HWND parent) {
  int32_t result = 0;
  showModal(BuildMainDialog(parent), MainDialogCallback, &result);
  return result;
}

int32_t RunMainWindow() {
  return CreateMainDialog(nullptr);
}

}  // namespace shell

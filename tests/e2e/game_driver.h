// Drives the real letrazul.exe from another process, as a player would: starts it in a folder of
// its own, sends menu commands and mouse presses, reads the Canvas from the screen, answers message
// boxes, and reads the exit code. It also composes, with the game's own screen code, the frame
// that a given game state should show, so a test can wait until the screen shows exactly that.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "tests/support/game_window.h"
#include "tests/support/runtime_counts.h"
#include "tests/support/wine_version.h"

namespace e2e {

using test_support::Pixels;

inline constexpr int32_t CanvasWidth = 798, CanvasHeight = 598;

// The game under test: LETRAZUL_GAME when set (the shipped 32-bit build, say), else the
// letrazul.exe of this test program's own build.
std::filesystem::path Program();

// How many times longer than usual every wait of the driver may last: LETRAZUL_GAME_SLOWNESS, for
// a game run under emulation; 1 unless set.
int32_t Slowness();

// The frame that `state` shows, or its pressed-key frame for key 1 to 27, as the Canvas shows it.
Pixels ExpectedFrame(const game::GameState& state, int32_t pressedKey = 0);

// The frame this process composed last (for the expected frames, or for the game's own code run
// here), as the Canvas shows it.
Pixels LastComposedFrame();

// Where the Canvas's left, top, right and bottom lie in its own pixels; empty when none.
struct Area {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// How many pixels differ, leaving out `ignored` (a box in front of the Canvas, say).
int32_t Differences(const Pixels& a, const Pixels& b, Area ignored = {});

// Writes a picture as a PNG.
bool SavePicture(const Pixels& pixels, const std::filesystem::path& file);

// A message box of the game's.
struct Box {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
};

class Game {
 public:
  Game() = default;
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;
  ~Game();  // ends the game if it still runs

  // Copies `program` into `folder` (made if need be; not when it is there already) with
  // `wordList` as dic.txt there, unless none is given, starts it and waits for its window. False when it does not come up. Where
  // LETRAZUL_GAME_WINDOWS names a Windows version (winxp, win7, win10), Wine tells the game that
  // one until the game ends.
  bool Start(const std::filesystem::path& program, const std::filesystem::path& folder,
             const std::optional<std::string>& wordList);

  HWND window() const { return window_; }
  HWND canvas() const { return canvas_; }

  void Command(uint32_t id) const;
  // A left-button press and release at (x, y) of the Canvas.
  void Press(int32_t x, int32_t y) const;
  // The press on pad key k (1 to 27), in the middle of its range.
  void PressKey(int32_t k) const;
  void PressLetter(char letter) const;
  void PostToCanvas(UINT message, WPARAM wParam, LPARAM lParam) const;

  // The Canvas as the screen shows it.
  Pixels Screen() const;
  // The whole window, caption and menu bar included.
  Pixels WindowScreen() const;
  // Waits until the Canvas has not changed for `stillMs`; false if it kept changing until the timeout.
  bool WaitUntilStill(int32_t stillMs = 400, int32_t timeoutMs = 15000) const;
  // Waits until the screen shows exactly `expected` (leaving out `ignored`); on failure writes
  // both pictures beside the test as `name`-expected.png and `name`-shown.png.
  bool WaitForScreen(const Pixels& expected, const char* name, int32_t timeoutMs = 15000,
                     Area ignored = {}) const;

  // The game's open message boxes, oldest first.
  std::vector<Box> Boxes() const;
  // The newest open box, with `caption` when one is given, once it shows its text. A box just
  // answered may still be on the screen for a moment, so a caller that awaits a new box names it.
  std::optional<Box> WaitForBox(int32_t timeoutMs = 15000, const wchar_t* caption = nullptr) const;
  // The box's area in Canvas pixels.
  Area AreaOf(const Box& box) const;
  // Answers the box with OK, as a player would once, and waits until it has taken the answer (it
  // hides then; a box whose own loop runs under a newer box's is destroyed only after that one
  // ends). False when it is still shown after the time.
  static bool Close(const Box& box);

  // 32 for a game run through WoW64 (the 32-bit build under 64-bit Windows), else 64.
  int32_t Bits() const;

  bool Running() const;
  // The game process's anonymous resident memory as Linux counts it (Wine answers no memory figures
  // for other processes); -1 when it cannot be found.
  int64_t ResidentBytes() const;
  // What the runtime inside the game holds, when the game is the counted build (letrazul_counted).
  std::optional<test_support::RuntimeCounts> Counts() const {
    return test_support::readRuntimeCounts(process_.dwProcessId);
  }
  // The exit code once the process has ended within the time; nullopt if it has not.
  std::optional<DWORD> WaitForExit(int32_t timeoutMs = 15000) const;

 private:
  std::optional<test_support::WineWindowsVersion> windows_;
  // Posts the OK without waiting for it to be taken.
  static void Answer(const Box& box);

  PROCESS_INFORMATION process_{};
  std::string folderName_;  // the last two parts of the game's folder, to know its Linux process by
  HWND window_ = nullptr;
  HWND canvas_ = nullptr;
};

// The x at the middle of key k's press range.
int32_t KeyX(int32_t k);
// The key number of a pad letter (code page 1252 ñ is 0xF1).
int32_t KeyOf(char letter);

}  // namespace e2e

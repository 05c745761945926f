// The frames the web page must match, composed under Wine by the game's own screen code on GDI:
//   reference_frames FOLDER
// writes FOLDER/NAME.png for each state the browser round reaches, FOLDER/background.png (a frame
// with nothing drawn on it) and FOLDER/layout.json: where a press lands on each key, and the key
// boxes, so that the browser presses where the game looks and checks its texts where it draws them.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/letter_pad.h"
#include "game/screen.h"
#include "runtime/canvas/font_table.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/game_window.h"
#include "tests/support/shown_state.h"

namespace {

using test_support::ShownState;

struct Reference {
  const char* name;
  game::GameState state;
  char pressed = 0;  // the pressed-key frame of this letter over the state
};

// A game on a list whose every line is "sol", played as the browser round plays it.
const Reference references[] = {
    {"first-frame", game::GameState()},
    {"new-game", ShownState("---", "", 3, 0, 0, "")},
    {"letter-found-first", ShownState("s--", "", 3, 0, 0, "")},
    {"five-misses", ShownState("---", "", 3, 5, 0, "a b c d e ")},
    {"word-lost", ShownState("---", "sol", 2, 0, 0, "")},
    {"letter-found", ShownState("s--", "sol", 2, 0, 0, "")},
    {"word-solved", ShownState("---", "sol", 2, 0, 1, "")},
    {"ten-solved", ShownState("---", "sol", 3, 0, 10, "")},
    {"game-over", ShownState("---", "sol", 0, 6, 10, "a b c d e f ")},
    {"game-over-pressed", ShownState("---", "sol", 0, 6, 10, "a b c d e f "), '\xF1'},
};

bool Save(const std::filesystem::path& file) {
  const test_support::Pixels frame = test_support::pixelsOf(game::framePicture);
  return frame.width == game::FrameWidth && frame.height == game::FrameHeight &&
         e2e::SavePicture(frame, file);
}

// The letters as UTF-8 keys, each with the middle of its press range and its box as last drawn.
bool SaveLayout(const std::filesystem::path& file) {
  std::ofstream out(file);
  out << "{\"pressY\": " << game::PadTop + game::KeyWidth / 2 << ", \"keys\": [";
  for (int32_t k = 1; k <= game::KeyCount; ++k) {
    const game::KeyBox& box = game::keyBoxes[static_cast<size_t>(k)];
    const char letter = box.letter.text().data()[0];
    const std::string name = letter == '\xF1' ? "\xC3\xB1" : std::string(1, letter);
    out << (k > 1 ? ", " : "") << "{\"letter\": \"" << name << "\", \"pressX\": " << e2e::KeyX(k)
        << ", \"left\": " << box.left << ", \"top\": " << box.top << ", \"right\": " << box.right
        << ", \"bottom\": " << box.bottom << "}";
  }
  out << "]}\n";
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: reference_frames FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  runtime::resetFontTable();
  HWND dialog = test_support::makeGameWindow();
  bool made = true;
  for (const Reference& reference : references) {
    game::gameState = reference.state;
    if (reference.pressed)
      game::PressedKeyFrame(e2e::KeyOf(reference.pressed));
    else
      game::RefreshScreen();
    made = made && Save(folder / (std::string(reference.name) + ".png"));
  }
  game::StartFrame();
  made = made && Save(folder / "background.png");
  // Last: its being there tells that the frames before it were all written.
  made = made && SaveLayout(folder / "layout.json");
  game::ReleaseScreen();
  DestroyWindow(dialog);
  if (!made) std::fprintf(stderr, "reference_frames: a frame was not composed or not written\n");
  return made ? 0 : 1;
}

// Measures the game's frames on a real Canvas with the real message pump: RefreshScreen and
// PressedKeyFrame in the middle of a game with three lives (43 and 44 texts, one yield each).
//   screen_bench [FRAMES]
// Each frame is followed by as many one-millisecond yields as it made, timed alone with the same
// empty queue, so the drawing work is the frame's time less those yields.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/game_state.h"
#include "game/screen.h"
#include "runtime/canvas/font_table.h"
#include "runtime/host/dialog_host.h"
#include "runtime/host/message_pump.h"
#include "tests/bench/bench_stats.h"
#include "tests/support/game_window.h"

using namespace bench;
using namespace game;

namespace {

struct Figures {
  std::vector<double> frames, yields, work;
};

template <typename Frame>
void measure(Figures& figures, int32_t yieldsPerFrame, Frame&& frame) {
  const auto start = Clock::now();
  frame();
  const auto drawn = Clock::now();
  for (int32_t i = 0; i < yieldsPerFrame; ++i) runtime::doEvents(1);
  const double total = milliseconds(drawn - start), yields = milliseconds(Clock::now() - drawn);
  figures.frames.push_back(total);
  figures.yields.push_back(yields);
  figures.work.push_back(total - yields);
}

void report(const char* name, int32_t yieldsPerFrame, const Figures& figures) {
  const double frame = percentile(figures.frames, 0.5), yields = percentile(figures.yields, 0.5);
  std::printf(
      "%-16s %d yields: frame median %.2f ms (p90 %.2f), yields median %.2f ms (%.0f%%), "
      "drawing work median %.2f ms (p90 %.2f)\n",
      name, yieldsPerFrame, frame, percentile(figures.frames, 0.9), yields, 100.0 * yields / frame,
      percentile(figures.work, 0.5), percentile(figures.work, 0.9));
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
  runtime::resetFontTable();
  HWND dialog = test_support::makeGameWindow();
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  gameState.lives = 3;
  gameState.misses = 4;
  gameState.wordsSolved = 17;
  gameState.maskedWord = ByteString("m-rc--l-g-");
  gameState.lastWord = ByteString("esdrujula");
  gameState.wrongLetters = ByteString("x k t b ");
  RefreshScreen();
  if (!framePicture) {
    std::fprintf(stderr, "screen_bench: the background resource could not be loaded\n");
    return 1;
  }
  constexpr int32_t refreshYields = 43, pressedYields = 44;
  Figures refresh, pressed;
  for (int n = 0; n < frames; ++n) {
    measure(refresh, refreshYields, [] { RefreshScreen(); });
    measure(pressed, pressedYields, [n] { PressedKeyFrame(1 + n % 27); });
  }
  std::printf("game frames on the Canvas under the real pump, %d of each:\n", frames);
  report("RefreshScreen", refreshYields, refresh);
  report("PressedKeyFrame", pressedYields, pressed);
  ReleaseScreen();
  runtime::endDialog(dialog, 0);
  return 0;
}

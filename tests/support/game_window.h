// The game's main dialog and Canvas, made as start-up makes them, for tests that draw real frames;
// and the pixels of a drawing target, read back in one piece.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "runtime/canvas/canvas.h"

namespace test_support {

// A hidden game dialog whose Canvas (control 1001) is cleared to white; it becomes game::mainDialog,
// and the game's two start-up fonts are made.
HWND makeGameWindow();
HWND canvasOf(HWND dialog);

struct Pixels {
  int32_t width = 0, height = 0;
  std::vector<COLORREF> colours;  // row by row from the top
  COLORREF at(int32_t x, int32_t y) const {
    return colours[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
  bool operator==(const Pixels&) const = default;
};

// The picture of a target: an off-screen picture, or a control's (what the control shows).
Pixels pixelsOf(runtime::TargetHandle target);

}  // namespace test_support

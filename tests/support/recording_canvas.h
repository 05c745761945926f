// A canvas engine for tests without a window: it keeps the pictures' handles and each target's
// drawing state as the real engine does, and records what every call did, in order.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "runtime/canvas/canvas.h"

namespace test_support {

// A picture, or a control (window, id) of a dialog.
struct CanvasTarget {
  runtime::TargetHandle handle = 0;
  int32_t control = 0;
  auto operator<=>(const CanvasTarget&) const = default;
};

struct RecordedFont {
  std::string face;
  float points = 0;
  int32_t style = 0, charset = 0, pitchAndFamily = 0, escapement = 0;
  bool operator==(const RecordedFont&) const = default;
};

// One printText that drew, with the state it drew in.
struct RecordedPrint {
  CanvasTarget target;
  runtime::FontHandle font = 0;
  runtime::ColourValue foreground = 0, background = 0;
  int32_t x = 0, y = 0;
  std::string text;
};

struct CanvasRecord {
  // Every call except the settings of a print, as text: "load #202 800x600 mode 3 = 1",
  // "duplicate 1 = 2", "attach 2", "attach 5/1001", "copy 2 mix 13", "release 2", "print abc". Tests
  // may add their own marks (a yield, say) to see where they fall.
  std::vector<std::string> operations;
  std::vector<RecordedPrint> prints;
  std::vector<RecordedFont> fonts;            // font n + 4 is fonts[n]; 1 to 3 are the engine's own
  std::set<runtime::PictureHandle> pictures;  // alive
  bool backgroundMissing = false;             // loadPicture then fails
  runtime::PictureHandle nextPicture = 1;
  bool hasCurrent = false;
  CanvasTarget current;
  struct TargetState {
    runtime::FontHandle font = 1;
    runtime::ColourValue foreground = 0, background = 0;
    int32_t x = 0, y = 0;
  };
  std::map<CanvasTarget, TargetState> states;
};

extern CanvasRecord canvasRecord;

// Forgets everything, as a fresh process.
void resetCanvas();
const RecordedFont& fontOf(runtime::FontHandle font);

}  // namespace test_support

// DrawTarget: a graphic control's or an off-screen picture's memory DC and drawing state, and what
// the dialog host needs to make, paint and release the targets of graphic controls.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/canvas/canvas.h"

namespace runtime {

enum class TargetKind { graphicControl, picture };

struct DrawTarget {
  DrawTarget() = default;
  DrawTarget(const DrawTarget&) = delete;
  DrawTarget& operator=(const DrawTarget&) = delete;
  ~DrawTarget();  // puts the replaced bitmap and font back, then deletes the DC, picture, brush, identity

  TargetHandle window = 0;     // the control's window, the picture's bitmap, or a duplicate's identity
  HGDIOBJ identity = nullptr;  // a duplicate's handle: a GDI object of its own
  TargetKind kind = TargetKind::picture;
  bool explicitRefresh = true;
  bool dirty = false;
  bool hasFocus = false;
  bool rotatedText = false;
  bool ending = false;  // a control whose dialog is ending: the notices of its end are the system's
  HDC memoryDc = nullptr;
  HBITMAP picture = nullptr;
  HGDIOBJ replacedBitmap = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  RECT dirtyRect{-1, -1, 0, 0};
  int32_t x = 0;
  int32_t y = 0;
  FontHandle font = 0;
  HFONT fontObject = nullptr;  // selected for `font`; a GDI object stays alive while selected
  HGDIOBJ replacedFont = nullptr;
  int32_t averageCharWidth = 0;
  int32_t charHeight = 0;
  int32_t externalLeading = 0;
  int32_t pixelsPerInch = 0;  // of the memory DC, which the fonts' sizes depend on
  HBRUSH backgroundBrush = nullptr;
  ColourValue foreground = 0;
  ColourValue background = 0;
  uint32_t lastKey = 0;
  WNDPROC previousProc = nullptr;
};

// Gives `control` (a STATIC with SS_OWNERDRAW) a picture of its client size filled with
// `backgroundColour`, font 1, and the engine's window procedure in front of its own. The first
// control made becomes the current target when there is none. False when it cannot be made.
bool createControlTarget(HWND control, COLORREF backgroundColour);
// Lets the notices of `control`'s end through to its own procedure: the host calls it at its
// dialog's WM_DESTROY, which comes before the controls'. Until then the engine drops them, as only
// a forger sends them.
void controlEnding(HWND control);
// Releases a control's target (the host calls it as the control's dialog is destroyed).
void releaseControlTarget(HWND control);
// Paints a control's picture into the area the system asks for (the host's WM_DRAWITEM), when the
// control's own procedure is the one asking.
void paintControl(const DRAWITEMSTRUCT& item);

// The target a window or picture names, for tests and the host: look, do not keep.
const DrawTarget* findTarget(TargetHandle window);
// The thread's current target, or null.
const DrawTarget* currentTarget();
int32_t targetCount();
// Releases every target, as the process does on its way out.
void releaseAllTargets();

}  // namespace runtime

// What the page host needs of the canvas engine on the web: its graphic control's target, drawn on
// the page's <canvas id="screen">, and the engine's release at the end.
#pragma once

#include <cstdint>

#include "runtime/canvas/canvas.h"

namespace runtime {

// A new page holding graphic control `controlId`, width x height, filled white: returns the page's
// handle, or 0 when the control's picture cannot be made. The first control becomes the current
// target when there is none.
TargetHandle createControlTarget(int32_t controlId, int32_t width, int32_t height);
// Releases every control target, as the page's window ends.
void releaseControlTargets();

// The font table's three defaults, fresh, as at start-up; and its release.
void resetFontTable();
void releaseFontTable();
// Every target released, as the process does on its way out.
void releaseAllTargets();
int32_t targetCount();

}  // namespace runtime

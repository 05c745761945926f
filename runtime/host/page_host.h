// The page host: on the web the page is the game's one window. Its graphic control is the
// <canvas id="screen">, its menu the page's menu bar, and the browser's events reach the program
// as a window's queued messages do, one at a time, from the page's loop, a message box's loop or
// doEvents.
#pragma once

#include <cstdint>

#include "runtime/canvas/canvas.h"
#include "runtime/text/byte_string.h"

namespace runtime {

struct PageEvent {
  enum Kind : uint8_t { none, press, command, boxClosed } kind = none;
  // A press: x | y << 16 in the frame's pixels, as WM_LBUTTONDOWN packs them; a command's id; the
  // number of the box whose OK was pressed.
  uint32_t value = 0;
};
using PageCallback = void (*)(const PageEvent& event);

// Gives the page its title and a graphic control `controlId` of width x height; returns the
// page's handle, which attachTarget takes with the control's id. 0 when the control's picture
// cannot be made.
TargetHandle createPage(const ByteString& title, int32_t controlId, int32_t width, int32_t height);

// Runs `start`, then the page's loop until endPage, delivering every press and command to
// `callback`, which also gets those arriving while `start` runs. Returns endPage's value.
int32_t runPage(PageCallback callback, void (*start)());
void endPage(int32_t result);
bool pageOpen();

// Waits for the next event, yielding to the browser, and delivers it.
void deliverNextEvent();
// Delivers the event waiting, if any; false when none was.
bool deliverWaitingEvent();
// Lets the browser run its pending tasks (input, painting) and come back: about 0.15 ms, where a
// timer would be clamped to 4 ms.
void yieldToBrowser();

// Whether the OK of box `number` has been delivered; the box forgets it once asked.
bool takeClosedBox(uint32_t number);

// How many page loops and message boxes are waiting for events.
int32_t openPageLoops();

}  // namespace runtime

// The page host: the page as the game's window, and the browser's events as its message queue.
#include <emscripten.h>

#include <algorithm>
#include <vector>

#include "runtime/canvas/page_canvas.h"
#include "runtime/host/page_host.h"
#include "runtime/text/ansi_text.h"

namespace runtime {

namespace {

// clang-format off
// The page's event queue. The page's script posts presses, commands and closed boxes into it
// (Module.letrazulPost); the program takes them one at a time. The yield goes through a message
// channel: a task of the browser's own, behind whatever input is waiting, with no timer clamp.
EM_JS(void, installEventQueue, (), {
  if (Module.letrazulPost) return;
  const events = [];
  let wake = null;
  Module.letrazulEvents = events;
  Module.letrazulPost = (kind, value) => {
    events.push({kind, value});
    if (wake) {
      const resume = wake;
      wake = null;
      resume();
    }
  };
  Module.letrazulWait = () => events.length ? Promise.resolve() : new Promise(resolve => { wake = resolve; });
  const channel = new MessageChannel();
  const waiting = [];
  channel.port1.onmessage = () => waiting.shift()();
  Module.letrazulYield = () => new Promise(resolve => {
    waiting.push(resolve);
    channel.port2.postMessage(0);
  });
});

EM_JS(int, takeEvent, (uint32_t * value), {
  const event = Module.letrazulEvents.shift();
  if (!event) return 0;
  HEAPU32[value >> 2] = event.value >>> 0;
  return event.kind;
});

EM_ASYNC_JS(void, waitForEvent, (), { await Module.letrazulWait(); });
EM_ASYNC_JS(void, yieldOnce, (), { await Module.letrazulYield(); });

EM_JS(void, setPageTitle, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, setPageOpen, (int open), {
  if (Module.onPageOpen) Module.onPageOpen(open !== 0);
});
// clang-format on

TargetHandle page = 0;
PageCallback pageCallback = nullptr;
bool open = false;
bool ending = false;
int32_t endResult = 0;
int32_t loops = 0;
std::vector<uint32_t> closedBoxes;

void deliver(const PageEvent& event) {
  switch (event.kind) {
    case PageEvent::boxClosed:
      closedBoxes.push_back(event.value);
      break;
    case PageEvent::press:
    case PageEvent::command:
      // A window that is gone takes no more input, as on Windows.
      if (open && !ending && pageCallback) pageCallback(event);
      break;
    case PageEvent::none:
      break;
  }
}

bool takeWaitingEvent(PageEvent& event) {
  uint32_t value = 0;
  const int kind = takeEvent(&value);
  if (kind <= PageEvent::none || kind > PageEvent::boxClosed) return false;
  event.kind = static_cast<PageEvent::Kind>(kind);
  event.value = value;
  return true;
}

}  // namespace

TargetHandle createPage(const ByteString& title, int32_t controlId, int32_t width, int32_t height) {
  installEventQueue();
  setPageTitle(utf8FromAnsi(title).c_str());
  page = createControlTarget(controlId, width, height);
  return page;
}

int32_t runPage(PageCallback callback, void (*start)()) {
  installEventQueue();
  pageCallback = callback;
  open = true;
  ending = false;
  endResult = 0;
  setPageOpen(1);
  ++loops;
  if (start) start();
  while (!ending) deliverNextEvent();
  --loops;
  open = false;
  pageCallback = nullptr;
  setPageOpen(0);
  releaseControlTargets();
  return endResult;
}

void endPage(int32_t result) {
  if (!open) return;
  ending = true;
  endResult = result;
}

bool pageOpen() {
  return open && !ending;
}

void deliverNextEvent() {
  PageEvent event;
  while (!takeWaitingEvent(event)) waitForEvent();
  deliver(event);
}

bool deliverWaitingEvent() {
  PageEvent event;
  if (!takeWaitingEvent(event)) return false;
  deliver(event);
  return true;
}

void yieldToBrowser() {
  yieldOnce();
}

bool takeClosedBox(uint32_t number) {
  const auto found = std::find(closedBoxes.begin(), closedBoxes.end(), number);
  if (found == closedBoxes.end()) return false;
  closedBoxes.erase(found);
  return true;
}

int32_t openPageLoops() {
  return loops;
}

}  // namespace runtime

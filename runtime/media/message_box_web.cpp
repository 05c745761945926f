// messageBox as an HTML <dialog> over the page, owned by nothing: the page goes on taking presses
// and commands while the box waits for its OK, as the game's window does behind a Windows box.
#include <emscripten.h>

#include <string>

#include "runtime/host/page_host.h"
#include "runtime/media/message_box.h"
#include "runtime/text/ansi_text.h"

namespace runtime {

namespace {

int32_t openBoxes = 0;
uint32_t lastBox = 0;

// clang-format off
// The box's OK (or Enter, or Escape while it has the focus) posts its closing to the event queue.
EM_JS(int, jsShowBox, (uint32_t number, const char* caption, const char* text), {
  if (!Module.letrazulPost || typeof document === 'undefined') return 0;
  const box = document.createElement('dialog');
  box.className = 'box';
  box.setAttribute('aria-labelledby', 'box-caption-' + number);
  const title = document.createElement('div');
  title.className = 'caption';
  title.id = 'box-caption-' + number;
  title.textContent = UTF8ToString(caption);
  const message = document.createElement('p');
  message.className = 'text';
  message.textContent = UTF8ToString(text);
  const ok = document.createElement('button');
  ok.className = 'ok';
  ok.type = 'button';
  ok.textContent = 'Aceptar';
  const close = () => {
    if (!box.isConnected) return;
    box.close();
    box.remove();
    Module.letrazulPost(3, number);
  };
  ok.addEventListener('click', close);
  box.addEventListener('keydown', event => {
    if (event.key === 'Escape' || event.key === 'Enter') {
      event.preventDefault();
      close();
    }
  });
  box.append(title, message, ok);
  (document.getElementById('boxes') || document.body).append(box);
  box.show();
  ok.focus();
  return 1;
});
// clang-format on

// The page breaks lines at LF alone.
std::string lines(std::string text) {
  std::erase(text, '\r');
  return text;
}

}  // namespace

int32_t messageBox(const ByteString& message, const ByteString& title, int32_t) {
  const uint32_t number = ++lastBox;
  if (!jsShowBox(number, utf8FromAnsi(title).c_str(), lines(utf8FromAnsi(message)).c_str())) return 0;
  ++openBoxes;
  while (!takeClosedBox(number)) deliverNextEvent();
  --openBoxes;
  return 1;  // OK
}

int32_t openMessageBoxCount() {
  return openBoxes;
}

// A box's loop here asks whether its OK has come before each wait, so an OK that a loop nested in
// it took is never lost: there is nothing to wake.
void wakeMessageBoxLoops() {}

}  // namespace runtime

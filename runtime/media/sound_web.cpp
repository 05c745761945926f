// playSound through Web Audio: the program's six sounds, decoded by the page, one playing at a time.
#include <emscripten.h>

#include <string>

#include "runtime/media/sound.h"
#include "runtime/text/error_code.h"

namespace runtime {

namespace {

// clang-format off
// Module.letrazulAudio is the page's audio context, made and resumed at the player's first gesture
// (the browser lets no sound out before one); Module.letrazulSounds holds the decoded sounds by
// resource name. Every request is told to the page (Module.onSoundRequested) whether or not it can
// be heard yet. Returns 0 for a sound the program does not have.
EM_JS(int, jsPlay, (const char* name), {
  const resource = UTF8ToString(name);
  if (Module.letrazulPlaying) {
    try {
      Module.letrazulPlaying.stop();
    } catch (e) {
    }
    Module.letrazulPlaying = null;
  }
  if (!resource) return 1;
  if (Module.onSoundRequested) Module.onSoundRequested(resource);
  const sounds = Module.letrazulSounds || {};
  if (!(resource in sounds))
    return Module.letrazulSoundNames && Module.letrazulSoundNames.includes(resource) ? 1 : 0;
  const audio = Module.letrazulAudio;
  if (!audio || !sounds[resource]) return 1;
  const source = audio.createBufferSource();
  source.buffer = sounds[resource];
  source.connect(audio.destination);
  source.onended = () => {
    if (Module.letrazulPlaying === source) Module.letrazulPlaying = null;
  };
  source.start();
  Module.letrazulPlaying = source;
  return 1;
});
// clang-format on

}  // namespace

void playSound(const ByteString& name, int32_t, int32_t) {
  // "#300" names resource 300, which the page has as sound300.wav; files are not played here.
  std::string resource(name.view());
  if (!resource.empty() && resource[0] == '#') resource.erase(0, 1);
  if (!jsPlay(resource.c_str())) recordError(error::fileNotFound);
}

}  // namespace runtime

// playSound over the system's sound service: resources of the program, or files.
#include <windows.h>

#include <mmsystem.h>

#include "runtime/media/sound.h"
#include "runtime/start/guarded_call.h"
#include "runtime/start/process_state.h"
#include "runtime/start/system_calls.h"
#include "runtime/text/error_code.h"
#include "runtime/text/string_ops.h"
#include "runtime/text/wide_text.h"

namespace runtime {

namespace {

// A call that returns failure, or leaves a system error behind, has failed.
bool play(const wchar_t* name, HMODULE module, DWORD flags) {
  BOOL played = FALSE;
  const uint32_t error = guardedCall([&] { played = sys::playSound(name, module, flags); });
  return played && error == ERROR_SUCCESS;
}

// A sound file must be an existing file: wildcards are not looked up at all, and a folder or a
// volume label is no file.
bool soundFileExists(const ByteString& name, const WideText& wideName) {
  if (find(name, ByteString("*"), 1) != 0 || find(name, ByteString("?"), 1) != 0) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = INVALID_HANDLE_VALUE;
  guardedCall([&] { search = sys::findFirstFile(wideName.c_str(), &found); });
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | 0x8 /* volume label */));
}

void playFile(const ByteString& name, const WideText& wideName, DWORD flags) {
  if (!soundFileExists(name, wideName)) {
    recordError(error::fileNotFound);
    return;
  }
  if (!play(wideName.c_str(), nullptr, flags | SND_FILENAME)) recordError(error::illegalCall);
}

}  // namespace

void playSound(const ByteString& name, int32_t flags, int32_t) {
  if (name.empty()) {
    play(nullptr, nullptr, 0);  // stops whatever is playing
    return;
  }
  const DWORD kind =
      static_cast<DWORD>(flags) & ~static_cast<DWORD>(SND_FILENAME | SND_RESOURCE | SND_MEMORY);
  const WideText wideName = WideText::ofSystemText(name);
  if (find(name, ByteString("."), 1) != 0) {
    playFile(name, wideName, kind);
    return;
  }
  // A resource that cannot be played is tried once as a file of the same name.
  if (!play(wideName.c_str(), moduleInstance(), kind | SND_RESOURCE)) playFile(name, wideName, kind);
}

}  // namespace runtime

// The page's calls that hand the program its files. A size below 0 holds a file that is there but
// cannot be read.
#include <emscripten.h>

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/text/held_files.h"

extern "C" {

EMSCRIPTEN_KEEPALIVE void letrazul_hold_file(const char* name, const char* bytes, int32_t size) {
  runtime::files::holdFile(
      name,
      size < 0 ? std::nullopt : std::optional<std::string>(std::in_place, bytes, static_cast<size_t>(size)));
}

EMSCRIPTEN_KEEPALIVE void letrazul_drop_file(const char* name) {
  runtime::files::dropFile(name);
}

}  // extern "C"

// The game's code page 1252 text as Unicode, for the places that hand it to a Unicode system: the
// page's dialogs and document on the web.
#pragma once

#include <string>

#include "runtime/text/byte_string.h"

namespace runtime {

// UTF-8 for `text` read as code page 1252; the five bytes 1252 leaves unassigned stay as the C1
// controls of the same value, as Windows converts them.
std::string utf8FromAnsi(const ByteString& text);

// Appends `c`, a character of the Basic Multilingual Plane, to `out` in UTF-8.
void appendUtf8(std::string& out, char16_t c);

}  // namespace runtime

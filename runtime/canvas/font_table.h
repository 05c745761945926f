// The runtime's table of fonts by number, with the defaults every program starts with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace runtime {

// A font as the runtime keeps it: its description, its size in points, how many users it has and
// its handle, which is made the first time the font is used.
struct FontEntry {
  LOGFONTW description{};
  int32_t pointSize = 0;
  int32_t referenceCount = 0;
  HFONT handle = nullptr;
};

// Empties the table (deleting any font made) and puts in the three defaults: 1 "MS Sans Serif"
// 8 points, the dialog font; 2 "Lucida Console" of no set size; 3 "Lucida Console" 11 points.
void resetFontTable();
// Deletes every font made and empties the table.
void releaseFontTable();
// Entry `number` (from 1), or null when there is none.
const FontEntry* fontEntry(int32_t number);
int32_t fontCount();

}  // namespace runtime

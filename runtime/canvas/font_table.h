// The runtime's table of fonts by number, shared by every drawing target.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/canvas/canvas.h"

namespace runtime {

// What makes two fonts the same: compared field by field, bit for bit, the face case-sensitively.
struct FontDescription {
  wchar_t face[32] = {};  // at most 31 characters
  float points = 0;
  int32_t weight = FW_NORMAL;  // 400, or 700 when bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint8_t charset = ANSI_CHARSET;
  uint8_t pitchAndFamily = DEFAULT_PITCH;
  int32_t escapement = 0;  // and orientation: tenths of a degree

  bool operator==(const FontDescription& other) const;
};

// Empties the table (deleting any font made) and puts in the three defaults: 1 "MS Sans Serif"
// 8 points, the font of every new target; 2 "Lucida Console" of no set size; 3 "Lucida Console"
// 11 points.
void resetFontTable();
// Deletes every font made and empties the table.
void releaseFontTable();
int32_t fontCount();

// The number of the entry with this description, adding one when there is none; 0 when the table
// cannot grow.
FontHandle registerFont(const FontDescription& description);
// The entry's description, or false for an unknown number.
bool fontDescription(FontHandle font, FontDescription& description);
// The entry's GDI font, made the first time with the height of `points` at `pixelsPerInch`; null
// for an unknown number or when it cannot be made.
HFONT fontObject(FontHandle font, int32_t pixelsPerInch);
// How many targets have the font selected.
void addFontUser(FontHandle font, int32_t change);
int32_t fontUsers(FontHandle font);

}  // namespace runtime

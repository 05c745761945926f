// The font table: descriptions, use counts, and GDI fonts made once on first selection.
#include "runtime/canvas/font_table.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cwchar>
#include <iterator>
#include <mutex>
#include <string_view>
#include <vector>

#include "runtime/start/spin_lock.h"
#include "runtime/start/system_calls.h"

namespace runtime {

namespace {

struct FontEntry {
  FontDescription description;
  int32_t users = 0;
  HFONT object = nullptr;
};

SpinLock fontLock;
std::vector<FontEntry> fonts;

FontDescription defaultFont(std::wstring_view face, float points, uint8_t pitch) {
  FontDescription description;
  face.copy(description.face, 31);
  description.points = points;
  description.pitchAndFamily = pitch;
  return description;
}

void deleteFonts() {
  for (FontEntry& entry : fonts)
    if (entry.object) DeleteObject(entry.object);
  fonts.clear();
}

FontEntry* entry(FontHandle font) {
  return font >= 1 && font <= static_cast<int32_t>(fonts.size()) ? &fonts[static_cast<size_t>(font - 1)]
                                                                 : nullptr;
}

}  // namespace

bool FontDescription::operator==(const FontDescription& other) const {
  return std::wcscmp(face, other.face) == 0 &&
         std::bit_cast<uint32_t>(points) == std::bit_cast<uint32_t>(other.points) && weight == other.weight &&
         italic == other.italic && underline == other.underline && strikeOut == other.strikeOut &&
         charset == other.charset && pitchAndFamily == other.pitchAndFamily && escapement == other.escapement;
}

void resetFontTable() {
  std::lock_guard guard(fontLock);
  deleteFonts();
  fonts.push_back({defaultFont(L"MS Sans Serif", 8, DEFAULT_PITCH)});
  fonts.push_back({defaultFont(L"Lucida Console", 0, FIXED_PITCH)});
  fonts.push_back({defaultFont(L"Lucida Console", 11, FIXED_PITCH)});
}

void releaseFontTable() {
  std::lock_guard guard(fontLock);
  deleteFonts();
}

int32_t fontCount() {
  std::lock_guard guard(fontLock);
  return static_cast<int32_t>(fonts.size());
}

FontHandle registerFont(const FontDescription& description) {
  std::lock_guard guard(fontLock);
  for (size_t i = 0; i < fonts.size(); ++i)
    if (fonts[i].description == description) return static_cast<FontHandle>(i + 1);
  fonts.push_back({description});
  return static_cast<FontHandle>(fonts.size());
}

bool fontDescription(FontHandle font, FontDescription& description) {
  std::lock_guard guard(fontLock);
  const FontEntry* found = entry(font);
  if (found) description = found->description;
  return found != nullptr;
}

HFONT fontObject(FontHandle font, int32_t pixelsPerInch) {
  std::lock_guard guard(fontLock);
  FontEntry* found = entry(font);
  if (!found) return nullptr;
  if (!found->object) {
    const FontDescription& d = found->description;
    // A negative height asks for the character height without internal leading.
    const int height = -static_cast<int>(std::lround(pixelsPerInch * static_cast<double>(d.points) / 72.0));
    // One that cannot be made now is asked for again the next time.
    LOGFONTW font{height,
                  0,
                  d.escapement,
                  d.escapement,
                  d.weight,
                  d.italic,
                  d.underline,
                  d.strikeOut,
                  d.charset,
                  OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS,
                  DEFAULT_QUALITY,
                  d.pitchAndFamily,
                  {}};
    std::copy(std::begin(d.face), std::end(d.face), font.lfFaceName);
    found->object = sys::createFont(font);
  }
  return found->object;
}

void addFontUser(FontHandle font, int32_t change) {
  std::lock_guard guard(fontLock);
  if (FontEntry* found = entry(font)) found->users += change;
}

int32_t fontUsers(FontHandle font) {
  std::lock_guard guard(fontLock);
  const FontEntry* found = entry(font);
  return found ? found->users : 0;
}

}  // namespace runtime

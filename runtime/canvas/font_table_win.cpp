// The font table and its three default entries.
#include "runtime/canvas/font_table.h"

#include <mutex>
#include <string_view>

#include "runtime/start/spin_lock.h"

namespace runtime {

namespace {

SpinLock fontLock;
std::vector<FontEntry> fonts;

FontEntry defaultFont(std::wstring_view face, int32_t points, BYTE pitch) {
  FontEntry entry;
  face.copy(entry.description.lfFaceName, LF_FACESIZE - 1);
  entry.description.lfWeight = FW_NORMAL;
  entry.description.lfCharSet = ANSI_CHARSET;
  entry.description.lfPitchAndFamily = pitch;
  entry.pointSize = points;
  return entry;
}

void deleteFonts() {
  for (FontEntry& entry : fonts)
    if (entry.handle) DeleteObject(entry.handle);
  fonts.clear();
}

}  // namespace

void resetFontTable() {
  std::lock_guard guard(fontLock);
  deleteFonts();
  fonts.push_back(defaultFont(L"MS Sans Serif", 8, DEFAULT_PITCH));
  fonts.push_back(defaultFont(L"Lucida Console", 0, FIXED_PITCH));
  fonts.push_back(defaultFont(L"Lucida Console", 11, FIXED_PITCH));
}

void releaseFontTable() {
  std::lock_guard guard(fontLock);
  deleteFonts();
}

const FontEntry* fontEntry(int32_t number) {
  std::lock_guard guard(fontLock);
  return number >= 1 && number <= static_cast<int32_t>(fonts.size()) ? &fonts[static_cast<size_t>(number - 1)]
                                                                        : nullptr;
}

int32_t fontCount() {
  std::lock_guard guard(fontLock);
  return static_cast<int32_t>(fonts.size());
}

}  // namespace runtime

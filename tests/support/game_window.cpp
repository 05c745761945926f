// The game window for frame tests, and reading a target's pixels.
#include "tests/support/game_window.h"

#include "game/screen.h"
#include "runtime/canvas/draw_target.h"
#include "runtime/host/dialog_host.h"

namespace test_support {

using namespace runtime;

HWND makeGameWindow() {
  HWND dialog = createDialog(DialogUnits::pixels, nullptr, ByteString("Letrazul"), 105, 114, 800, 618,
                             0x94C200D4 & ~WS_VISIBLE, 0x10000);
  addControl(dialog, game::CanvasId, graphicControlType, ByteString(), 0, 0, 800, 600, 0x50800100, 0,
             nullptr);
  attachTarget(reinterpret_cast<TargetHandle>(dialog), game::CanvasId);
  setColours(0x000000, 0xFFFFFF);
  clearTarget(systemColour, 0);
  game::mainDialog = reinterpret_cast<TargetHandle>(dialog);
  game::keyFont = game::GameFont(game::KeySize);
  game::wordFont = game::GameFont(game::WordPoints);
  return dialog;
}

HWND canvasOf(HWND dialog) {
  return controlHandle(dialog, game::CanvasId);
}

Pixels pixelsOf(TargetHandle handle) {
  Pixels pixels;
  const DrawTarget* target = findTarget(handle);
  if (!target) return pixels;
  pixels.width = target->width;
  pixels.height = target->height;
  // A top-down 32-bit section, so each row reads straight into the vector.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), pixels.width, -pixels.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ replaced = SelectObject(dc, section);
  BitBlt(dc, 0, 0, pixels.width, pixels.height, target->memoryDc, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* quads = static_cast<const uint32_t*>(bits);
  pixels.colours.resize(static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height));
  for (size_t i = 0; i < pixels.colours.size(); ++i) {
    const uint32_t bgr = quads[i];  // 0x00RRGGBB in memory order B, G, R
    pixels.colours[i] = RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
  }
  SelectObject(dc, replaced);
  DeleteDC(dc);
  DeleteObject(section);
  return pixels;
}

}  // namespace test_support

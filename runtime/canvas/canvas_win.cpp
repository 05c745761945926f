// The canvas engine over GDI: drawing targets, their refresh, and the graphic control's keys.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "runtime/canvas/draw_target.h"
#include "runtime/canvas/font_table.h"
#include "runtime/host/message_guard.h"
#include "runtime/start/process_state.h"
#include "runtime/start/spin_lock.h"
#include "runtime/start/system_calls.h"
#include "runtime/text/error_code.h"
#include "runtime/text/string_ops.h"
#include "runtime/text/wide_text.h"

namespace runtime {

namespace {

// Held around every operation, from the lookup of the current target until it returns; taken again
// by the paint that an automatic refresh causes on the same thread.
RecursiveSpinLock canvasLock;
std::vector<std::unique_ptr<DrawTarget>> targets;
thread_local DrawTarget* current = nullptr;
// The picture released last, its DC and bitmap kept for the next duplicate of its size: making a
// frame-sized bitmap and DC and putting memory behind them cost about as much as the frame's texts.
std::unique_ptr<DrawTarget> sparePicture;
// The graphic control whose own procedure, behind the engine's, is running on this thread: only
// its paint asks for its picture.
thread_local HWND controlAtWork = nullptr;

struct BrushDeleter {
  void operator()(HBRUSH brush) const { DeleteObject(brush); }
};
using OwnedBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, BrushDeleter>;

DrawTarget* lookUp(TargetHandle window) {
  for (auto& target : targets)
    if (target->window == window) return target.get();
  return nullptr;
}

// The dialog item `controlId` of `window`, or `window` itself for 0.
DrawTarget* lookUp(TargetHandle window, int32_t controlId) {
  if (controlId != 0) {
    HWND item = GetDlgItem(reinterpret_cast<HWND>(window), controlId);
    return item ? lookUp(reinterpret_cast<TargetHandle>(item)) : nullptr;
  }
  return window ? lookUp(window) : nullptr;
}

COLORREF resolved(ColourValue colour, int systemIndex) {
  return colour == systemColour ? GetSysColor(systemIndex) : static_cast<COLORREF>(colour);
}

void setBackground(DrawTarget& target, ColourValue colour) {
  // Every layer of an embossed text asks for it again.
  if (colour == transparent && target.background == transparent) return;
  if (target.backgroundBrush) DeleteObject(target.backgroundBrush);
  target.backgroundBrush = nullptr;
  if (colour == transparent) {
    target.background = transparent;
    SetBkMode(target.memoryDc, TRANSPARENT);
    return;
  }
  const COLORREF value = resolved(colour, COLOR_BTNFACE);
  target.background = static_cast<ColourValue>(value);
  target.backgroundBrush = sys::createSolidBrush(value);
  SetBkMode(target.memoryDc, OPAQUE);
  SetBkColor(target.memoryDc, value);
}

// Selects font `font` (0 means 1) into the target and reads its metrics; the previous font stays
// when the new one cannot be made.
void useFont(DrawTarget& target, FontHandle font) {
  if (font == 0) font = 1;
  HFONT object = fontObject(font, target.pixelsPerInch);
  // Each text of a frame selects its font, mostly the one already in place; selecting it again
  // and reading the same metrics cost more than drawing the text.
  if (object && font == target.font && object == target.fontObject) return;
  FontDescription description;
  if (!fontDescription(font, description)) return;
  HGDIOBJ replaced = object ? sys::selectObject(target.memoryDc, object) : nullptr;
  if (!replaced || replaced == HGDI_ERROR) {
    recordError(error::illegalCall);
    return;
  }
  if (!target.replacedFont) target.replacedFont = replaced;
  if (target.font) addFontUser(target.font, -1);
  addFontUser(font, 1);
  target.font = font;
  target.fontObject = object;
  TEXTMETRICW metrics{};
  GetTextMetricsW(target.memoryDc, &metrics);
  target.averageCharWidth = metrics.tmAveCharWidth;
  target.charHeight = metrics.tmHeight;
  target.externalLeading = metrics.tmExternalLeading;
  target.rotatedText = description.escapement != 0;
}

// The state every new target starts with; the caller has selected its picture.
void startState(DrawTarget& target) {
  target.foreground = static_cast<ColourValue>(GetSysColor(COLOR_WINDOWTEXT));
  SetTextColor(target.memoryDc, static_cast<COLORREF>(target.foreground));
  setBackground(target, systemColour);
  // Texts start at the current position and move it to their end; left and top alignment are the
  // zero defaults.
  SetTextAlign(target.memoryDc, TA_UPDATECP);
  useFont(target, 1);
}

// Adds `area` (clipped to the picture) to what has changed, and brings a control in automatic
// mode up to date before the operation returns.
void markDirty(DrawTarget& target, RECT area) {
  RECT picture{0, 0, target.width, target.height};
  IntersectRect(&area, &area, &picture);
  if (!IsRectEmpty(&area)) {
    if (target.dirtyRect.left < 0)
      target.dirtyRect = area;
    else
      UnionRect(&target.dirtyRect, &target.dirtyRect, &area);
  }
  target.dirty = true;
  if (target.kind != TargetKind::graphicControl || target.explicitRefresh) return;
  HWND window = reinterpret_cast<HWND>(target.window);
  if (target.dirtyRect.left >= 0) InvalidateRect(window, &target.dirtyRect, FALSE);
  target.dirtyRect = RECT{-1, -1, 0, 0};
  UpdateWindow(window);
  target.dirty = false;
}

void markAllDirty(DrawTarget& target) {
  markDirty(target, RECT{0, 0, target.width, target.height});
}

// A fill can fail while the system is short of resources for a moment: tried again up to ten
// times, 2 ms apart, and given up after the last without waiting.
bool filledWithRetries(HDC dc, const RECT& area, HBRUSH brush) {
  constexpr int retries = 10;
  for (int retry = 0;; ++retry) {
    if (sys::fillRect(dc, area, brush)) return true;
    if (retry == retries) return false;
    Sleep(2);
  }
}

DWORD rasterOperation(int32_t mixMode) {
  switch (mixMode) {
    case 2:
      return NOTSRCERASE;
    case 4:
      return NOTSRCCOPY;
    case 5:
      return SRCERASE;
    case 7:
      return SRCINVERT;
    case 9:
      return SRCAND;
    case 12:
      return MERGEPAINT;
    case 15:
      return SRCPAINT;
    default:
      return SRCCOPY;
  }
}

// A memory DC compatible with the display, holding `bitmap`; the target owns both from here on.
bool adoptPicture(DrawTarget& target, HBITMAP bitmap, int32_t width, int32_t height) {
  target.memoryDc = sys::createCompatibleDc(nullptr);
  if (!target.memoryDc) return false;
  target.replacedBitmap = sys::selectObject(target.memoryDc, bitmap);
  // A DC without its picture would draw into the system's one-pixel stand-in and show garbage.
  if (!target.replacedBitmap || target.replacedBitmap == HGDI_ERROR) {
    DeleteDC(target.memoryDc);
    target.memoryDc = nullptr;
    target.replacedBitmap = nullptr;
    return false;
  }
  target.pixelsPerInch = GetDeviceCaps(target.memoryDc, LOGPIXELSY);
  target.picture = bitmap;
  target.width = width;
  target.height = height;
  startState(target);
  return true;
}

// Registers a new picture target owning `bitmap`; 0, with the bitmap deleted, when it cannot.
PictureHandle registerPicture(HBITMAP bitmap, int32_t width, int32_t height) {
  auto target = std::make_unique<DrawTarget>();
  target->window = reinterpret_cast<TargetHandle>(bitmap);
  target->kind = TargetKind::picture;
  if (!adoptPicture(*target, bitmap, width, height)) {
    DeleteObject(bitmap);
    return 0;
  }
  std::lock_guard guard(canvasLock);
  targets.insert(targets.begin(), std::move(target));
  return reinterpret_cast<PictureHandle>(bitmap);
}

int32_t bitsPerPixel(HBITMAP bitmap) {
  BITMAP info{};
  return GetObjectW(bitmap, sizeof(info), &info) ? info.bmBitsPixel * info.bmPlanes : 0;
}

// The spare picture as a new copy of `source` starts, when it has the source's size and kind of
// pixels; they are left as they were, for the caller to cover.
std::unique_ptr<DrawTarget> reusedPicture(const DrawTarget& source) {
  if (!sparePicture || sparePicture->width != source.width || sparePicture->height != source.height ||
      bitsPerPixel(sparePicture->picture) != bitsPerPixel(source.picture))
    return nullptr;
  std::unique_ptr<DrawTarget> target = std::move(sparePicture);
  if (target->identity) DeleteObject(target->identity);
  target->identity = nullptr;
  target->window = 0;
  target->explicitRefresh = true;
  target->dirty = false;
  target->dirtyRect = RECT{-1, -1, 0, 0};
  target->x = target->y = 0;
  startState(*target);
  return target;
}

HBITMAP loadBitmap(const ByteString& name) {
  const WideText wide = WideText::ofSystemText(name);
  if (wide.size() == 2 && wide.c_str()[1] == L'\0' && wide.c_str()[0] < 0x8000)
    return sys::loadSystemBitmap(MAKEINTRESOURCEW(wide.c_str()[0]));
  HBITMAP bitmap = nullptr;
  if (find(name, ByteString("."), 1) == 0)
    bitmap = static_cast<HBITMAP>(sys::loadImage(moduleInstance(), wide.c_str(), IMAGE_BITMAP, 0, 0, 0));
  if (!bitmap)
    bitmap = static_cast<HBITMAP>(sys::loadImage(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  return bitmap;
}

// `image` scaled to width x height with `stretchMode`, or null when any step fails (never a picture
// half made); the image is released either way.
HBITMAP scaled(HBITMAP image, int32_t imageWidth, int32_t imageHeight, int32_t width, int32_t height,
               int32_t stretchMode) {
  HDC source = sys::createCompatibleDc(nullptr);
  HDC target = source ? sys::createCompatibleDc(nullptr) : nullptr;
  HGDIOBJ sourceReplaced = target ? sys::selectObject(source, image) : nullptr;
  HBITMAP result = sourceReplaced ? sys::createCompatibleBitmap(source, width, height) : nullptr;
  HGDIOBJ targetReplaced = result ? sys::selectObject(target, result) : nullptr;
  bool drawn = false;
  if (targetReplaced) {
    const int previousMode = stretchMode ? SetStretchBltMode(target, stretchMode) : 0;
    drawn = sys::stretchBlt(target, width, height, source, imageWidth, imageHeight);
    if (previousMode) SetStretchBltMode(target, previousMode);
    SetBrushOrgEx(target, 0, 0, nullptr);
    SelectObject(target, targetReplaced);
  }
  if (result && !drawn) {
    DeleteObject(result);
    result = nullptr;
  }
  if (sourceReplaced) SelectObject(source, sourceReplaced);
  if (target) DeleteDC(target);
  if (source) DeleteDC(source);
  DeleteObject(image);
  return result;
}

LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether a key press on a focused graphic control is taken by the control: the function keys, the
// keypad's own keys while they are not digits, and the separate cursor and editing keys.
bool keyConsumed(LPARAM keyData) {
  const uint32_t scan = (static_cast<uint32_t>(keyData) >> 16) & 0xFF;
  const bool extended = (keyData >> 24) & 1;
  if (extended) return scan != 0x1C && scan != 0x35 && scan != 0x3A && scan != 0x45 && scan != 0x46;
  if ((scan >= 0x3B && scan <= 0x44) || scan == 0x57 || scan == 0x58) return true;
  if (scan >= 0x47 && scan <= 0x53 && scan != 0x4A && scan != 0x4E)
    return !(GetKeyState(VK_NUMLOCK) & 1) || (GetKeyState(VK_SHIFT) & 0x8000);
  return false;
}

}  // namespace

DrawTarget::~DrawTarget() {
  if (memoryDc) {
    if (replacedFont) SelectObject(memoryDc, replacedFont);
    if (replacedBitmap) SelectObject(memoryDc, replacedBitmap);
    DeleteDC(memoryDc);
  }
  if (font) addFontUser(font, -1);
  if (picture) DeleteObject(picture);
  if (backgroundBrush) DeleteObject(backgroundBrush);
  if (identity) DeleteObject(identity);
}

bool attachTarget(TargetHandle window, int32_t controlId, bool explicitRefresh) {
  std::lock_guard guard(canvasLock);
  current = lookUp(window, controlId);
  if (!current) {
    recordError(error::illegalCall);
    return false;
  }
  current->explicitRefresh = explicitRefresh || current->kind == TargetKind::picture;
  return true;
}

void setColours(ColourValue foreground, ColourValue background) {
  std::lock_guard guard(canvasLock);
  if (!current) return;
  if (foreground != unchanged) {
    current->foreground = static_cast<ColourValue>(resolved(foreground, COLOR_WINDOWTEXT));
    SetTextColor(current->memoryDc, static_cast<COLORREF>(current->foreground));
  }
  if (background != unchanged) setBackground(*current, background);
}

void clearTarget(ColourValue colour, int32_t fillStyle) {
  std::lock_guard guard(canvasLock);
  if (!current) return;
  if (colour == systemColour) colour = current->background;
  if (colour != transparent) {
    if (fillStyle < 0 || fillStyle > 6) fillStyle = 0;
    const auto value = static_cast<COLORREF>(colour);
    const OwnedBrush brush(fillStyle == 0 ? sys::createSolidBrush(value)
                                          : sys::createHatchBrush(fillStyle - 1, value));
    // FillRect takes a null handle for a system colour's number, not for no brush. A clear that
    // cannot be done does nothing at all, the position included.
    if (!brush) return;
    if (!filledWithRetries(current->memoryDc, RECT{0, 0, current->width, current->height}, brush.get()))
      return;
  }
  current->x = current->y = 0;
  markAllDirty(*current);
}

void setPosition(int32_t x, int32_t y) {
  std::lock_guard guard(canvasLock);
  if (!current) return;
  current->x = x;
  current->y = y;
}

void printText(const ByteString& text) {
  std::lock_guard guard(canvasLock);
  if (!current) return;
  DrawTarget& target = *current;
  if (!text.empty()) {
    const WideText wide = WideText::ofGameText(text);
    MoveToEx(target.memoryDc, target.x, target.y, nullptr);
    RECT line{target.x, target.y, target.width, target.y + target.charHeight};
    // Rotated texts leave their line, so they are neither clipped to it nor tracked by their cell.
    const UINT options = target.rotatedText ? 0 : ETO_CLIPPED;
    sys::extTextOut(target.memoryDc, options, &line, wide.c_str(), static_cast<UINT>(wide.size()));
    POINT end{};
    GetCurrentPositionEx(target.memoryDc, &end);
    if (target.rotatedText)
      markAllDirty(target);
    else
      markDirty(target, RECT{target.x, target.y, end.x, target.y + target.charHeight});
  }
  target.x = 0;
  target.y += target.charHeight + target.externalLeading;
}

FontHandle newFont(const ByteString& face, float points, int32_t style, int32_t charset,
                   int32_t pitchAndFamily, int32_t escapement) {
  FontDescription description;
  const WideText wide = WideText::ofGameText(face);
  std::copy_n(wide.c_str(), std::min<int32_t>(wide.size(), 31), description.face);
  description.points = points == 0 ? 8.0f : points;
  description.weight = (style & fontBold) ? FW_BOLD : FW_NORMAL;
  description.italic = style & fontItalic;
  description.underline = style & fontUnderline;
  description.strikeOut = style & fontStrikeOut;
  description.charset = static_cast<uint8_t>(charset);
  description.pitchAndFamily = static_cast<uint8_t>(pitchAndFamily);
  description.escapement = escapement;
  const FontHandle font = registerFont(description);
  if (!font) recordError(error::illegalCall);
  return font;
}

void selectFont(FontHandle font) {
  std::lock_guard guard(canvasLock);
  if (current) useFont(*current, font);
}

PictureHandle loadPicture(const ByteString& name, int32_t width, int32_t height, int32_t stretchMode) {
  if (width == 0 || height == 0) width = height = 0;
  HBITMAP image = loadBitmap(name);
  if (!image) return 0;
  BITMAP info{};
  GetObjectW(image, sizeof(info), &info);
  if (width && (width != info.bmWidth || height != info.bmHeight)) {
    image = scaled(image, info.bmWidth, info.bmHeight, width, height, stretchMode);
    if (!image) return 0;
  } else {
    width = info.bmWidth;
    height = info.bmHeight;
  }
  return registerPicture(image, width, height);
}

PictureHandle duplicatePicture(PictureHandle source) {
  std::lock_guard guard(canvasLock);
  const DrawTarget* from = lookUp(source);
  if (!from || from->kind != TargetKind::picture) return 0;
  // The bitmap may be a released picture's, so its handle cannot name the copy: a released handle
  // must name no target. An empty region of the copy's own gives it a handle no other object has.
  HRGN identity = sys::createRectRegion(0, 0, 0, 0);
  if (!identity) return 0;
  std::unique_ptr<DrawTarget> target = reusedPicture(*from);
  if (!target) {
    target = std::make_unique<DrawTarget>();
    HBITMAP bitmap = sys::createCompatibleBitmap(from->memoryDc, from->width, from->height);
    if (!bitmap || !adoptPicture(*target, bitmap, from->width, from->height)) {
      if (bitmap && !target->picture) DeleteObject(bitmap);
      DeleteObject(identity);
      return 0;
    }
  }
  target->identity = identity;
  target->window = reinterpret_cast<TargetHandle>(identity);
  // A copy that did not take would hold another frame's pixels, or none.
  if (!sys::bitBlt(target->memoryDc, 0, 0, from->width, from->height, from->memoryDc, 0, 0, SRCCOPY))
    return 0;
  targets.insert(targets.begin(), std::move(target));
  return reinterpret_cast<PictureHandle>(identity);
}

void copyPicture(TargetHandle source, int32_t controlId, int32_t mixMode) {
  std::lock_guard guard(canvasLock);
  const DrawTarget* from = lookUp(source, controlId);
  if (!current || !from) return;
  const int32_t width = std::min(from->width, current->width);
  const int32_t height = std::min(from->height, current->height);
  if (!sys::bitBlt(current->memoryDc, 0, 0, width, height, from->memoryDc, 0, 0,
                   rasterOperation(mixMode > 15 ? 0 : mixMode))) {
    recordError(error::illegalCall);
    return;
  }
  markAllDirty(*current);
}

void releasePicture(PictureHandle picture) {
  std::unique_ptr<DrawTarget> released;
  std::lock_guard guard(canvasLock);
  auto it = std::find_if(targets.begin(), targets.end(), [&](const auto& target) {
    return target->window == picture && target->kind == TargetKind::picture;
  });
  if (it == targets.end()) return;
  if (current == it->get()) current = nullptr;
  released = std::move(*it);
  targets.erase(it);
  released.swap(sparePicture);
}

bool createControlTarget(HWND control, COLORREF backgroundColour) {
  RECT client{};
  GetClientRect(control, &client);
  HDC screen = sys::getDc(nullptr);
  HBITMAP bitmap = screen ? sys::createCompatibleBitmap(screen, client.right, client.bottom) : nullptr;
  if (screen) ReleaseDC(nullptr, screen);
  if (!bitmap) return false;
  auto target = std::make_unique<DrawTarget>();
  target->window = reinterpret_cast<TargetHandle>(control);
  target->kind = TargetKind::graphicControl;
  target->explicitRefresh = false;
  if (!adoptPicture(*target, bitmap, client.right, client.bottom)) {
    DeleteObject(bitmap);
    return false;
  }
  setBackground(*target, static_cast<ColourValue>(backgroundColour));
  const RECT all{0, 0, client.right, client.bottom};
  FillRect(target->memoryDc, &all, target->backgroundBrush);
  target->previousProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc)));
  std::lock_guard guard(canvasLock);
  if (!current) current = target.get();
  targets.insert(targets.begin(), std::move(target));
  return true;
}

void releaseControlTarget(HWND control) {
  std::unique_ptr<DrawTarget> released;
  std::lock_guard guard(canvasLock);
  auto it = std::find_if(targets.begin(), targets.end(), [&](const auto& target) {
    return target->window == reinterpret_cast<TargetHandle>(control);
  });
  if (it == targets.end()) return;
  if (current == it->get()) current = nullptr;
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>((*it)->previousProc));
  released = std::move(*it);
  targets.erase(it);
}

void controlEnding(HWND control) {
  std::lock_guard guard(canvasLock);
  if (DrawTarget* target = lookUp(reinterpret_cast<TargetHandle>(control))) target->ending = true;
}

void paintControl(const DRAWITEMSTRUCT& item) {
  // A request from anywhere else names a DC to draw into that could be any of ours.
  if (item.hwndItem != controlAtWork) return;
  std::lock_guard guard(canvasLock);
  const DrawTarget* target = lookUp(reinterpret_cast<TargetHandle>(item.hwndItem));
  if (!target) return;
  const RECT& area = item.rcItem;
  sys::bitBlt(item.hDC, area.left, area.top, area.right - area.left, area.bottom - area.top, target->memoryDc,
              area.left, area.top, SRCCOPY);
}

const DrawTarget* findTarget(TargetHandle window) {
  std::lock_guard guard(canvasLock);
  return lookUp(window);
}

const DrawTarget* currentTarget() {
  return current;
}

int32_t targetCount() {
  std::lock_guard guard(canvasLock);
  return static_cast<int32_t>(targets.size());
}

void releaseAllTargets() {
  std::vector<std::unique_ptr<DrawTarget>> released;
  std::lock_guard guard(canvasLock);
  current = nullptr;
  released.swap(targets);
  released.push_back(std::move(sparePicture));
}

namespace {

LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = nullptr;
  {
    std::lock_guard guard(canvasLock);
    DrawTarget* target = lookUp(reinterpret_cast<TargetHandle>(window));
    if (!target) return DefWindowProcW(window, message, wParam, lParam);
    previous = target->previousProc;
    switch (message) {
      case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
      case WM_PRINTCLIENT:
      case WM_PAINT:
        // The control draws its picture into a device context these name. From another thread or
        // process the context is a guess, which may be one of the game's own pictures; this
        // procedure is the control's own, so the paint's check would let it through.
        if ((message == WM_PRINTCLIENT || wParam != 0) && sentFromElsewhere()) return 0;
        break;
      case WM_DESTROY:
      case WM_NCDESTROY:
        // Before its dialog's end only a forger sends these; the control's own procedure would
        // take the control for ended and never paint again.
        if (!target->ending) return 0;
        break;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        target->hasFocus = message == WM_SETFOCUS;
        break;
      case WM_CHAR:
        if (wParam == '\t') break;
        target->lastKey = static_cast<uint32_t>(wParam);
        return 0;
      case WM_KEYDOWN:
        if (!keyConsumed(lParam)) break;
        target->lastKey = static_cast<uint32_t>(lParam) & 0x00FF0000;
        return 0;
      case WM_SYSKEYDOWN:
        if ((static_cast<uint32_t>(lParam) & 0x01FF0000) != 0x00440000) break;  // F10, not extended
        target->lastKey = static_cast<uint32_t>(lParam) & 0x00FF0000;
        return 0;
      default:
        break;
    }
  }
  // Outside the lock: these send further messages that come back here. Scroll requests go on to
  // the control itself; the game's canvas has no scroll bars, so nothing moves.
  switch (message) {
    case WM_LBUTTONDOWN:
      SetFocus(window);
      break;
    case WM_MOUSEWHEEL: {
      const bool sideways = GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL;
      const WPARAM line = GET_WHEEL_DELTA_WPARAM(wParam) >= 0 ? SB_LINEUP : SB_LINEDOWN;
      SendMessageW(window, sideways ? WM_HSCROLL : WM_VSCROLL, line, 0);
      return 0;
    }
    default:
      break;
  }
  HWND outer = controlAtWork;
  controlAtWork = window;
  const LRESULT result = CallWindowProcW(previous, window, message, wParam, lParam);
  controlAtWork = outer;
  return result;
}

}  // namespace

}  // namespace runtime

// The canvas engine on HTML canvases: each picture an off-screen canvas of the page, the graphic
// control the page's <canvas id="screen">. The drawing state lives here, the pixels in the page.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "runtime/canvas/page_canvas.h"
#include "runtime/text/ansi_text.h"
#include "runtime/text/error_code.h"

namespace runtime {

namespace {

// clang-format off
// The page's side: canvases by handle, made, drawn on, copied and released here.
EM_JS(int, jsMakeCanvas, (uintptr_t handle, int width, int height, int onScreen), {
  const targets = Module.letrazulTargets || (Module.letrazulTargets = new Map());
  // A released picture of the same size is taken again: making a frame-sized canvas costs as much
  // as drawing the frame's texts. Its pixels are left for the caller to cover.
  const spare = Module.letrazulSpare;
  if (!onScreen && spare && spare.canvas.width === width && spare.canvas.height === height) {
    Module.letrazulSpare = null;
    targets.set(handle, spare);
    return 1;
  }
  let canvas = null;
  if (onScreen) canvas = document.getElementById('screen');
  if (!canvas) canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  const context = canvas.getContext('2d', {alpha: false});
  if (!context) return 0;
  targets.set(handle, {canvas, context, onScreen: onScreen !== 0});
  return 1;
});

EM_JS(void, jsRelease, (uintptr_t handle), {
  const target = Module.letrazulTargets.get(handle);
  Module.letrazulTargets.delete(handle);
  if (target && !target.onScreen) Module.letrazulSpare = target;
});

EM_JS(void, jsFill, (uintptr_t handle, int colour, int x, int y, int width, int height), {
  const target = Module.letrazulTargets.get(handle);
  if (!target) return;
  target.context.fillStyle =
      'rgb(' + (colour & 255) + ',' + (colour >> 8 & 255) + ',' + (colour >> 16 & 255) + ')';
  target.context.fillRect(x, y, width, height);
});

// Draws one line of text clipped to its cell's row from x to the right edge, over a box of the
// background colour unless that is -2 (transparent); returns the text's advance in pixels.
EM_JS(int, jsText, (uintptr_t handle, const char* text, const char* font, int x, int y, int ascent,
                    int cellHeight, int colour, int background), {
  const target = Module.letrazulTargets.get(handle);
  if (!target) return 0;
  const context = target.context;
  const css = c => 'rgb(' + (c & 255) + ',' + (c >> 8 & 255) + ',' + (c >> 16 & 255) + ')';
  const line = UTF8ToString(text);
  context.font = UTF8ToString(font);
  // Unhinted, as the outline is. Under Wine the face's own hints put each height on the pixel
  // nearest its true one; the browser's auto-hinter instead scales the whole face so the x-height's
  // overshoot lands on a pixel, rounding up from .375: at 39 pixels (18.38) every letter grows a
  // pixel taller than GDI draws it. The outline itself stays within the anti-aliased edge of both.
  context.textRendering = 'geometricPrecision';
  // GDI sets each character at a whole pixel, its advance rounded, and does not kern: so here.
  const widths = Module.letrazulWidths || (Module.letrazulWidths = new Map());
  const places = [];
  let advance = 0;
  for (const character of line) {
    const key = context.font + character;
    if (!widths.has(key)) widths.set(key, Math.round(context.measureText(character).width));
    places.push(advance);
    advance += widths.get(key);
  }
  context.save();
  context.beginPath();
  context.rect(x, y, target.canvas.width - x, cellHeight);
  context.clip();
  if (background !== -2) {
    context.fillStyle = css(background);
    context.fillRect(x, y, advance, cellHeight);
  }
  context.fillStyle = css(colour);
  context.textBaseline = 'alphabetic';
  let at = 0;
  for (const character of line) context.fillText(character, x + places[at++], y + ascent);
  context.restore();
  return advance;
});

// A picture the page decoded before the program started (Module.letrazulPictures), scaled to
// width x height by dropping or repeating whole pixels, never blending them, as the color-on-color
// stretch does. Which pixels stay is Wine's choice, measured on the game's background: columns
// are counted from the right edge, rows rounded from the top; so the frames match pixel for pixel.
EM_JS(int, jsLoadPicture, (uintptr_t handle, const char* name, int width, int height), {
  const pictures = Module.letrazulPictures || {};
  const source = pictures[UTF8ToString(name)];
  if (!source) return 0;
  if (width === 0) {
    width = source.width;
    height = source.height;
  }
  const targets = Module.letrazulTargets || (Module.letrazulTargets = new Map());
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  const context = canvas.getContext('2d', {alpha: false});
  if (!context) return 0;
  const image = context.createImageData(width, height);
  const from = new Uint32Array(source.data.buffer, source.data.byteOffset, source.width * source.height);
  const to = new Uint32Array(image.data.buffer);
  const columns = new Int32Array(width);
  for (let x = 0; x < width; ++x)
    columns[x] = source.width - 1 - Math.floor((width - 1 - x) * source.width / width);
  for (let y = 0; y < height; ++y) {
    const row = Math.min(source.height - 1, Math.floor((y * source.height + (height >> 1)) / height)) * source.width;
    for (let x = 0; x < width; ++x) to[y * width + x] = from[row + columns[x]];
  }
  context.putImageData(image, 0, 0);
  targets.set(handle, {canvas, context, onScreen: false});
  return 1;
});

EM_JS(int, jsCopy, (uintptr_t from, uintptr_t to, int width, int height), {
  const source = Module.letrazulTargets.get(from);
  const target = Module.letrazulTargets.get(to);
  if (!source || !target) return 0;
  target.context.drawImage(source.canvas, 0, 0, width, height, 0, 0, width, height);
  if (target.onScreen && Module.onFrameShown) Module.onFrameShown(target.canvas);
  return 1;
});
// clang-format on

struct Target {
  TargetHandle handle = 0;
  TargetHandle page = 0;  // a control's page, else 0
  int32_t controlId = 0;
  bool control = false;
  int32_t width = 0;
  int32_t height = 0;
  int32_t x = 0;
  int32_t y = 0;
  FontHandle font = 1;
  ColourValue foreground = 0;
  ColourValue background = 0;
};

struct Font {
  std::string face;
  float points = 0;
  int32_t style = 0;
  int32_t charset = 0;
  int32_t pitchAndFamily = 0;
  int32_t escapement = 0;
  bool operator==(const Font&) const = default;
};

// A font as the page draws it, with the cell GDI gives it: the em is the points at 96 pixels to
// the inch, the cell the face's Windows ascent and descent, both rounded to whole pixels.
struct FontMetrics {
  std::string css;
  int32_t ascent = 0;
  int32_t cellHeight = 0;
  int32_t externalLeading = 0;
};

constexpr ColourValue windowText = 0x000000;
constexpr ColourValue buttonFace = 0xF0F0F0;

std::vector<Target> targets;
Target* current = nullptr;
std::vector<Font> fonts;
// Handles are never used twice, so a released handle names no target.
TargetHandle lastHandle = 0;

Target* lookUp(TargetHandle handle, int32_t controlId) {
  for (Target& target : targets) {
    if (controlId == 0 ? target.handle == handle : target.page == handle && target.controlId == controlId)
      return &target;
  }
  return nullptr;
}

FontMetrics metricsOf(FontHandle handle) {
  static const Font fallback{"MS Sans Serif", 8, 0, 0, 0, 0};
  const bool known = handle >= 1 && handle <= static_cast<FontHandle>(fonts.size());
  const Font& font = known ? fonts[static_cast<size_t>(handle) - 1] : fallback;
  // A font of no set size gets the system's default height, 16 pixels.
  const double em = font.points > 0 ? std::round(96.0 * font.points / 72.0) : 16.0;
  // Times New Roman is Liberation Serif where the Windows build runs under Wine, and the page
  // ships that face; the dialog faces get the browser's own, with the same proportions.
  std::string family = "\"Letrazul Serif\", serif";
  if (font.face == "MS Sans Serif") family = "sans-serif";
  if (font.face == "Lucida Console") family = "monospace";
  FontMetrics metrics;
  metrics.css = std::string(font.style & fontItalic ? "italic " : "") +
                (font.style & fontBold ? "bold " : "") + std::to_string(static_cast<int>(em)) + "px " +
                family;
  // Liberation Serif's units per em, Windows ascent and descent, and line gap.
  metrics.ascent = static_cast<int32_t>(std::lround(em * 1825 / 2048));
  metrics.cellHeight = metrics.ascent + static_cast<int32_t>(std::lround(em * 443 / 2048));
  metrics.externalLeading = static_cast<int32_t>(std::lround(em * 87 / 2048));
  return metrics;
}

ColourValue resolved(ColourValue colour, ColourValue system) {
  return colour == systemColour ? system : colour;
}

TargetHandle newHandle() {
  return ++lastHandle;
}

Target& addTarget(TargetHandle handle, int32_t width, int32_t height) {
  Target target;
  target.handle = handle;
  target.width = width;
  target.height = height;
  target.foreground = windowText;
  target.background = buttonFace;
  const bool hadCurrent = current != nullptr;
  TargetHandle currentHandle = hadCurrent ? current->handle : 0;
  targets.push_back(target);
  // The vector may have moved: find the current target again.
  if (hadCurrent) current = lookUp(currentHandle, 0);
  return targets.back();
}

void removeTarget(TargetHandle handle) {
  const TargetHandle currentHandle = current ? current->handle : 0;
  std::erase_if(targets, [&](const Target& target) { return target.handle == handle; });
  jsRelease(handle);
  current = currentHandle && currentHandle != handle ? lookUp(currentHandle, 0) : nullptr;
}

}  // namespace

// The screen shows each frame as it is copied onto it, so there is no refresh to choose.
bool attachTarget(TargetHandle window, int32_t controlId, bool) {
  current = lookUp(window, controlId);
  if (!current) {
    recordError(error::illegalCall);
    return false;
  }
  return true;
}

void setColours(ColourValue foreground, ColourValue background) {
  if (!current) return;
  if (foreground != unchanged) current->foreground = resolved(foreground, windowText);
  if (background != unchanged) current->background = resolved(background, buttonFace);
}

void clearTarget(ColourValue colour, int32_t) {
  if (!current) return;
  if (colour == systemColour) colour = current->background;
  // Hatched fills are drawn solid: the game clears only with a solid colour.
  if (colour != transparent) jsFill(current->handle, colour, 0, 0, current->width, current->height);
  current->x = current->y = 0;
}

void setPosition(int32_t x, int32_t y) {
  if (!current) return;
  current->x = x;
  current->y = y;
}

void printText(const ByteString& text) {
  if (!current) return;
  const FontMetrics metrics = metricsOf(current->font);
  if (!text.empty())
    jsText(current->handle, utf8FromAnsi(text).c_str(), metrics.css.c_str(), current->x, current->y,
           metrics.ascent, metrics.cellHeight, current->foreground, current->background);
  current->x = 0;
  current->y += metrics.cellHeight + metrics.externalLeading;
}

FontHandle newFont(const ByteString& face, float points, int32_t style, int32_t charset,
                   int32_t pitchAndFamily, int32_t escapement) {
  Font font{std::string(face.view().substr(0, 31)),
            points == 0 ? 8.0f : points,
            style,
            charset,
            pitchAndFamily,
            escapement};
  const auto found = std::find(fonts.begin(), fonts.end(), font);
  if (found != fonts.end()) return static_cast<FontHandle>(found - fonts.begin()) + 1;
  fonts.push_back(font);
  return static_cast<FontHandle>(fonts.size());
}

void selectFont(FontHandle font) {
  if (!current) return;
  if (font < 1 || font > static_cast<FontHandle>(fonts.size())) {
    recordError(error::illegalCall);
    return;
  }
  current->font = font;
}

PictureHandle loadPicture(const ByteString& name, int32_t width, int32_t height, int32_t) {
  if (width <= 0 || height <= 0) width = height = 0;
  const TargetHandle handle = newHandle();
  if (!jsLoadPicture(handle, std::string(name.view()).c_str(), width, height)) return 0;
  // The page knows the picture's own size when none was asked for.
  const int32_t finalWidth =
      width ? width : EM_ASM_INT({ return Module.letrazulTargets.get($0).canvas.width; }, handle);
  const int32_t finalHeight =
      height ? height : EM_ASM_INT({ return Module.letrazulTargets.get($0).canvas.height; }, handle);
  addTarget(handle, finalWidth, finalHeight);
  return handle;
}

PictureHandle duplicatePicture(PictureHandle source) {
  const Target* from = lookUp(source, 0);
  if (!from || from->control) return 0;
  const int32_t width = from->width, height = from->height;
  const TargetHandle handle = newHandle();
  if (!jsMakeCanvas(handle, width, height, 0)) return 0;
  addTarget(handle, width, height);
  jsCopy(source, handle, width, height);
  return handle;
}

void copyPicture(TargetHandle source, int32_t controlId, int32_t) {
  const Target* from = lookUp(source, controlId);
  if (!current || !from) return;
  // Every mix the game uses is a plain copy.
  if (!jsCopy(from->handle, current->handle, std::min(from->width, current->width),
              std::min(from->height, current->height)))
    recordError(error::illegalCall);
}

void releasePicture(PictureHandle picture) {
  const Target* target = lookUp(picture, 0);
  if (target && !target->control) removeTarget(picture);
}

TargetHandle createControlTarget(int32_t controlId, int32_t width, int32_t height) {
  const TargetHandle page = newHandle();
  const TargetHandle handle = newHandle();
  if (!jsMakeCanvas(handle, width, height, 1)) return 0;
  Target& target = addTarget(handle, width, height);
  target.page = page;
  target.controlId = controlId;
  target.control = true;
  target.background = 0xFFFFFF;
  jsFill(handle, 0xFFFFFF, 0, 0, width, height);
  if (!current) current = &target;
  return page;
}

void releaseControlTargets() {
  std::vector<TargetHandle> controls;
  for (const Target& target : targets)
    if (target.control) controls.push_back(target.handle);
  for (TargetHandle handle : controls) removeTarget(handle);
}

void resetFontTable() {
  fonts = {{"MS Sans Serif", 8, 0, 0, 0, 0},
           {"Lucida Console", 0, 0, 0, 0, 0},
           {"Lucida Console", 11, 0, 0, 0, 0}};
}

void releaseFontTable() {
  fonts.clear();
}

void releaseAllTargets() {
  while (!targets.empty()) removeTarget(targets.back().handle);
  current = nullptr;
}

int32_t targetCount() {
  return static_cast<int32_t>(targets.size());
}

}  // namespace runtime

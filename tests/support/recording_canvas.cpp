// The recording canvas engine.
#include "tests/support/recording_canvas.h"

#include <algorithm>

namespace test_support {

CanvasRecord canvasRecord;

void resetCanvas() {
  canvasRecord = CanvasRecord();
}

const RecordedFont& fontOf(runtime::FontHandle font) {
  return canvasRecord.fonts.at(static_cast<size_t>(font - 4));
}

namespace {

CanvasRecord& r = canvasRecord;

std::string name(const CanvasTarget& target) {
  std::string text = std::to_string(target.handle);
  if (target.control) text += "/" + std::to_string(target.control);
  return text;
}

void note(std::string operation) {
  r.operations.push_back(std::move(operation));
}

CanvasRecord::TargetState* current() {
  return r.hasCurrent ? &r.states[r.current] : nullptr;
}

runtime::PictureHandle newPicture() {
  const runtime::PictureHandle picture = r.nextPicture++;
  r.pictures.insert(picture);
  r.states[{picture, 0}] = {};
  return picture;
}

}  // namespace

}  // namespace test_support

namespace runtime {

using namespace test_support;

bool attachTarget(TargetHandle window, int32_t controlId, bool) {
  const CanvasTarget target{window, controlId};
  note("attach " + name(target));
  // Any window has the control asked for; a picture must be alive.
  r.hasCurrent = controlId ? window != 0 : r.pictures.count(window) > 0;
  r.current = target;
  return r.hasCurrent;
}

void setColours(ColourValue foreground, ColourValue background) {
  if (auto* state = current()) {
    if (foreground != unchanged) state->foreground = foreground;
    if (background != unchanged) state->background = background;
  }
}

void clearTarget(ColourValue colour, int32_t fillStyle) {
  note("clear " + std::to_string(colour) + " style " + std::to_string(fillStyle));
  if (auto* state = current()) state->x = state->y = 0;
}

void setPosition(int32_t x, int32_t y) {
  if (auto* state = current()) {
    state->x = x;
    state->y = y;
  }
}

void printText(const ByteString& text) {
  auto* state = current();
  if (!state) return;
  if (!text.empty()) {
    note("print " + std::string(text.view()));
    r.prints.push_back({r.current, state->font, state->foreground, state->background, state->x, state->y,
                        std::string(text.view())});
  }
  state->x = 0;
  state->y += 10;
}

FontHandle newFont(const ByteString& face, float points, int32_t style, int32_t charset,
                   int32_t pitchAndFamily, int32_t escapement) {
  const RecordedFont font{std::string(face.view()), points, style, charset, pitchAndFamily, escapement};
  auto found = std::find(r.fonts.begin(), r.fonts.end(), font);
  if (found == r.fonts.end()) found = r.fonts.insert(r.fonts.end(), font);
  return static_cast<FontHandle>(found - r.fonts.begin()) + 4;
}

void selectFont(FontHandle font) {
  if (auto* state = current()) state->font = font;
}

PictureHandle loadPicture(const ByteString& picture, int32_t width, int32_t height, int32_t stretchMode) {
  const PictureHandle made = r.backgroundMissing ? 0 : newPicture();
  note("load " + std::string(picture.view()) + " " + std::to_string(width) + "x" + std::to_string(height) +
       " mode " + std::to_string(stretchMode) + " = " + std::to_string(made));
  return made;
}

PictureHandle duplicatePicture(PictureHandle source) {
  const PictureHandle made = r.pictures.count(source) ? newPicture() : 0;
  note("duplicate " + std::to_string(source) + " = " + std::to_string(made));
  return made;
}

void copyPicture(TargetHandle source, int32_t controlId, int32_t mixMode) {
  note("copy " + name({source, controlId}) + " mix " + std::to_string(mixMode));
}

void releasePicture(PictureHandle picture) {
  if (!r.pictures.erase(picture)) return;
  note("release " + std::to_string(picture));
  r.states.erase({picture, 0});
  if (r.hasCurrent && r.current == CanvasTarget{picture, 0}) r.hasCurrent = false;
}

}  // namespace runtime

// Real frames on a real Canvas, checked by their pixels: where the keys, figures and words land,
// their colours and embossed edges, when the Canvas changes, and 20,000 frames in a row.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "game/game_state.h"
#include "game/letter_pad.h"
#include "game/screen.h"
#include "runtime/canvas/draw_target.h"
#include "runtime/canvas/font_table.h"
#include "runtime/host/dialog_host.h"
#include "tests/support/game_window.h"
#include "tests/support/process_memory.h"
#include "tests/support/stress.h"

namespace game {
namespace {

using test_support::Pixels;
using test_support::pixelsOf;

constexpr COLORREF red = RGB(255, 0, 0), yellow = RGB(255, 255, 0), white = RGB(255, 255, 255);

struct Area {
  int32_t left, top, right, bottom;  // right and bottom excluded
};

int32_t count(const Pixels& pixels, Area area, COLORREF colour) {
  int32_t n = 0;
  for (int32_t y = area.top; y < area.bottom; ++y)
    for (int32_t x = area.left; x < area.right; ++x) n += pixels.at(x, y) == colour;
  return n;
}

// The first column of the area, from the left, holding `colour`; -1 when none does.
int32_t firstColumn(const Pixels& pixels, Area area, COLORREF colour) {
  for (int32_t x = area.left; x < area.right; ++x)
    for (int32_t y = area.top; y < area.bottom; ++y)
      if (pixels.at(x, y) == colour) return x;
  return -1;
}

// The last column holding a pixel that differs from `before` in `colour`; -1 when none does.
int32_t lastChangedColumn(const Pixels& after, const Pixels& before, Area area, COLORREF colour) {
  for (int32_t x = area.right - 1; x >= area.left; --x)
    for (int32_t y = area.top; y < area.bottom; ++y)
      if (after.at(x, y) == colour && before.at(x, y) != colour) return x;
  return -1;
}

Area keyArea(int k) {
  const int16_t left = keyBoxes[static_cast<size_t>(k)].left;
  return {left - 4, 545, left + 30, 595};
}

class ScreenPixelsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    runtime::resetFontTable();
    dialog = test_support::makeGameWindow();
    canvas = reinterpret_cast<TargetHandle>(test_support::canvasOf(dialog));
    // The bare background, as every frame starts.
    StartFrame();
    bare = new Pixels(pixelsOf(framePicture));
  }
  static void TearDownTestSuite() {
    ReleaseScreen();
    runtime::endDialog(dialog, 0);
    delete bare;
  }
  void SetUp() override { gameState = GameState(); }

  Pixels frame() { return pixelsOf(framePicture); }
  Pixels shown() { return pixelsOf(canvas); }

  static inline HWND dialog = nullptr;
  static inline TargetHandle canvas = 0;
  static inline Pixels* bare = nullptr;
};

TEST_F(ScreenPixelsTest, TheKeysAreRedAtTheirPlacesAndThePressedOneYellowOnlyInItsOwnFrame) {
  ASSERT_EQ(count(*bare, {0, 540, 800, 600}, red) + count(*bare, {0, 540, 800, 600}, yellow), 0)
      << "the background itself has no key colours along the pad";
  RefreshScreen();
  const Pixels pad = shown();
  for (int k = 1; k <= KeyCount; ++k) {
    const int32_t left = keyBoxes[static_cast<size_t>(k)].left;
    const int32_t first = firstColumn(pad, keyArea(k), red);
    EXPECT_GE(first, left) << "key " << k;
    EXPECT_LE(first, left + 6) << "key " << k;
  }
  EXPECT_EQ(keyBoxes[13].left, 360);
  EXPECT_EQ(keyBoxes[15].left, 430);
  EXPECT_EQ(keyBoxes[25].left, 720);

  PressedKeyFrame(15);
  const Pixels pressed = shown();
  EXPECT_GT(count(pressed, keyArea(15), yellow), 30) << "ñ";
  EXPECT_EQ(count(pressed, keyArea(15), red), 0) << "the yellow face covers the red one";
  EXPECT_EQ(count(pressed, {0, 540, 420, 600}, yellow), 0) << "no other key is yellow";

  RefreshScreen();
  const Pixels next = shown();
  EXPECT_EQ(count(next, keyArea(15), yellow), 0);
  EXPECT_EQ(count(next, keyArea(15), red), count(pad, keyArea(15), red));
}

// The game's texts are code page 1252 on every system: where the system's own is another, its "ñ"
// would show as "?" (936) or a Greek rho (1253). Drawn at the same height, the two letters share every
// solid pixel of the "n".
TEST_F(ScreenPixelsTest, TheEnyeKeyIsTheNKeyWithATildeOverIt) {
  RefreshScreen();
  const Pixels pad = shown();
  const Area n = keyArea(14), enye = keyArea(15);
  int32_t nTop = -1;
  for (int32_t y = n.top; y < n.bottom && nTop < 0; ++y)
    for (int32_t x = n.left; x < n.right; ++x)
      if (pad.at(x, y) == red) nTop = y;
  ASSERT_GT(nTop, n.top);
  int32_t differ = 0, above = 0;
  for (int32_t y = n.top; y < n.bottom; ++y)
    for (int32_t dx = 0; dx < n.right - n.left; ++dx) {
      const bool inEnye = pad.at(enye.left + dx, y) == red;
      if (y < nTop)
        above += inEnye;
      else
        differ += inEnye != (pad.at(n.left + dx, y) == red);
    }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(above, 3) << "the tilde";
}

// Text is smoothed, so an edge pixel is a blend of its layer's colour and what lies under it: the
// light edge keeps much green and blue, the dark one has little of either and a dim red.
bool isLightEdge(COLORREF c) {
  return GetGValue(c) >= 0x80 && GetBValue(c) >= 0x80;
}
bool isDarkEdge(COLORREF c) {
  return GetRValue(c) >= 0x20 && GetRValue(c) <= 0xD0 && GetGValue(c) < 0x20 && GetBValue(c) < 0x20;
}

TEST_F(ScreenPixelsTest, StrokesHaveALightEdgeUpLeftAndADarkRedEdgeDownRight) {
  RefreshScreen();
  const Pixels pad = shown();
  // The stem of l, row by row: the light edge, the red face, the dark edge, then the background.
  const int32_t left = keyBoxes[12].left;
  int rows = 0;
  for (int32_t y = 560; y < 580; ++y) {
    int32_t x = left - 2;
    while (x < left + 20 && pad.at(x, y) == bare->at(x, y)) ++x;
    ASSERT_TRUE(isLightEdge(pad.at(x, y))) << "row " << y << " starts with " << std::hex << pad.at(x, y);
    while (isLightEdge(pad.at(x, y))) ++x;
    const int32_t face = x;
    while (pad.at(x, y) == red) ++x;
    EXPECT_GE(x - face, 3) << "row " << y << ": a red stem";
    EXPECT_TRUE(isDarkEdge(pad.at(x, y))) << "row " << y << " ends with " << std::hex << pad.at(x, y);
    ++rows;
  }
  EXPECT_EQ(rows, 20);
}

TEST_F(ScreenPixelsTest, OneWhiteFigurePerLifeFromTheLeftTenPixelsApart) {
  const Area band{0, 0, 60, 40};
  RefreshScreen();
  const Pixels none = frame();
  EXPECT_EQ(lastChangedColumn(none, *bare, band, white), -1) << "no figure without lives";
  int32_t previous = -1;
  for (int16_t lives = 1; lives <= 3; ++lives) {
    gameState.lives = lives;
    RefreshScreen();
    const Pixels figures = frame();
    const int32_t last = lastChangedColumn(figures, *bare, band, white);
    ASSERT_GT(last, 8) << lives << " lives";
    if (previous >= 0) {
      EXPECT_EQ(last - previous, 10) << lives << " lives";
    }
    previous = last;
    EXPECT_GT(firstColumn(figures, {0, 0, 20, 10}, white), 7) << "the first head starts at x 8";
  }
}

TEST_F(ScreenPixelsTest, ALongWordIsCutAtTheRightEdgeAndNothingWraps) {
  gameState.maskedWord = ByteString(std::string(26, 'w'));
  RefreshScreen();
  const Pixels word = frame();
  EXPECT_GT(count(word, {790, 230, 800, 280}, white), 0) << "the word runs to the edge";
  int changed = 0;
  for (int32_t y = 290; y < 500; ++y)
    for (int32_t x = 0; x < 800; ++x) changed += word.at(x, y) != bare->at(x, y);
  EXPECT_EQ(changed, 0) << "no second line";
}

TEST_F(ScreenPixelsTest, TheCanvasChangesOnlyWhenAFrameIsShownAndThenShowsAllOfIt) {
  RefreshScreen();
  const Pixels before = shown();
  gameState.lives = 3;
  gameState.maskedWord = ByteString("--a--");
  gameState.wrongLetters = ByteString("x k ");
  StartFrame();
  DrawMaskedWord();
  DrawLetterPad();
  EXPECT_EQ(shown(), before) << "composing leaves the Canvas alone";
  ShowFrame();
  const Pixels after = shown();
  const Pixels composed = frame();
  ASSERT_EQ(after.width, 798) << "the Canvas's border takes a pixel on each side";
  ASSERT_EQ(after.height, 598);
  bool same = true;
  for (int32_t y = 0; y < after.height && same; ++y)
    for (int32_t x = 0; x < after.width && same; ++x) same = after.at(x, y) == composed.at(x, y);
  EXPECT_TRUE(same) << "the Canvas shows the frame from its own (0, 0)";
}

// Each frame makes a picture, so a leak of one per frame would show within a few thousand; make
// stress draws 20,000.
TEST_F(ScreenPixelsTest, FramesInARowLeaveOneFramePictureAndNoGrowth) {
  using test_support::privateBytes;
  RefreshScreen();
  const int32_t targets = runtime::targetCount();
  int64_t settled = 0;
  const int frames = test_support::stressRounds(2000, 20000);
  for (int i = 0; i < frames; ++i) {
    gameState.lives = static_cast<int16_t>(i % 4);
    gameState.misses = static_cast<int16_t>(i % 6);
    gameState.wordsSolved = i;
    gameState.maskedWord = ByteString(std::string(static_cast<size_t>(3 + i % 24), '-'));
    if (i % 2)
      PressedKeyFrame(1 + i % KeyCount);
    else
      RefreshScreen();
    ASSERT_NE(framePicture, 0u) << "frame " << i;
    if (i == 99) settled = privateBytes();
  }
  EXPECT_EQ(runtime::targetCount(), targets) << "the Canvas, the background and the latest frame";
  EXPECT_EQ(targets, 3);
  EXPECT_LT(privateBytes() - settled, 2 << 20) << "bytes grown since the first hundred frames";
}

}  // namespace
}  // namespace game

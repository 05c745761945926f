// Frames composed against a recording canvas: what each frame prints, where, in which font and
// colour and in which order; the yields between texts; the key table; and the frame pictures'
// lives from the background to the Canvas.
#include "game/screen.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/letter_pad.h"
#include "game/rules.h"
#include "game/status_band.h"
#include "game/word_list.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/recording_pump.h"
#include "tests/support/recording_requests.h"
#include "tests/support/shown_state.h"
#include "tests/support/temp_folder.h"

namespace game {
namespace {

using test_support::canvasRecord;

constexpr TargetHandle dialog = 7000;
constexpr ColourValue red = 0x0000FF, yellow = 0x00FFFF, silver = 0xC0C0C0, white = 0xFFFFFF,
                      green = 0x00FF00, darkRed = 0x000080;

// A text as it shows: its face layer, with the two shadow layers checked on the way.
struct Face {
  std::string text;
  float points = 0;
  ColourValue colour = 0;
  int32_t x = 0, y = 0;
  bool operator==(const Face&) const = default;
};

void PrintTo(const Face& face, std::ostream* out) {
  *out << '"' << face.text << "\" " << face.points << "pt colour " << std::hex << face.colour << std::dec
       << " at (" << face.x << ", " << face.y << ")";
}

// The faces of the prints from `first` on, each checked to be one embossed text on the frame
// picture: white up-left, dark red down-right, then the face, all on a transparent background.
std::vector<Face> faces(size_t first = 0) {
  const auto& prints = canvasRecord.prints;
  EXPECT_EQ((prints.size() - first) % 3, 0u) << "every text is printed three times";
  std::vector<Face> result;
  for (size_t i = first; i + 2 < prints.size(); i += 3) {
    const auto& light = prints[i];
    const auto& dark = prints[i + 1];
    const auto& face = prints[i + 2];
    for (const auto* layer : {&light, &dark, &face}) {
      EXPECT_EQ(layer->text, face.text);
      EXPECT_EQ(layer->font, face.font);
      EXPECT_EQ(layer->background, runtime::transparent) << face.text;
      EXPECT_EQ(layer->target.handle, face.target.handle);
      EXPECT_EQ(layer->target.control, 0) << "texts are drawn off screen only";
    }
    EXPECT_EQ(light.foreground, white) << face.text;
    EXPECT_EQ(dark.foreground, darkRed) << face.text;
    EXPECT_EQ(std::pair(light.x, light.y), std::pair(face.x - 1, face.y - 1)) << face.text;
    EXPECT_EQ(std::pair(dark.x, dark.y), std::pair(face.x + 1, face.y + 1)) << face.text;
    const auto& font = test_support::fontOf(face.font);
    EXPECT_EQ(font.face, "Times New Roman");
    EXPECT_EQ(font.style, runtime::fontBold);
    EXPECT_EQ(font.charset + font.pitchAndFamily + font.escapement, 0);
    result.push_back({face.text, font.points, face.foreground, face.x, face.y});
  }
  return result;
}

const int16_t keyLefts[] = {10,  40,  70,  100, 130, 160, 190, 220, 250, 280, 310, 340, 360, 400,
                            430, 460, 490, 520, 550, 575, 600, 620, 650, 680, 720, 750, 780};
const std::string keyLetters = "abcdefghijklmn\xF1opqrstuvwxyz";

std::vector<Face> pad(const std::string& lastWord = "") {
  std::vector<Face> result;
  if (!lastWord.empty()) result.push_back({lastWord, 29, silver, 10, 510});
  for (size_t k = 0; k < 27; ++k) result.push_back({keyLetters.substr(k, 1), 29, red, keyLefts[k], 550});
  return result;
}

std::vector<Face> figures(int lives) {
  std::vector<Face> result;
  for (int c = 0; c < lives * 10; c += 10) {
    result.push_back({" o ", 8, white, 8 + c, 0});
    result.push_back({"/|\\", 8, white, 10 + c, 10});
    result.push_back({"/ \\", 8, white, 10 + c, 20});
  }
  return result;
}

std::vector<Face> counters(const std::string& misses, const std::string& solved) {
  return {{"Fallos", 22, green, 500, 1},
          {misses, 22, yellow, 530, 30},
          {"Palabras", 22, green, 650, 1},
          {solved, 22, yellow, 650, 30}};
}

std::vector<Face> join(std::initializer_list<std::vector<Face>> parts) {
  std::vector<Face> result;
  for (const auto& part : parts) result.insert(result.end(), part.begin(), part.end());
  return result;
}

// The operations that move pictures about: loads, copies, releases, and the Canvas made current.
std::vector<std::string> pictureOperations() {
  std::vector<std::string> result;
  for (const auto& operation : canvasRecord.operations)
    if (operation.rfind("print", 0) != 0 && operation.rfind("yield", 0) != 0 &&
        (operation.rfind("attach", 0) != 0 || operation == "attach 7000/1001"))
      result.push_back(operation);
  return result;
}

class ScreenTest : public testing::Test {
 protected:
  void SetUp() override {
    ReleaseScreen();
    test_support::resetCanvas();
    test_support::pump = {};
    test_support::pump.onYield = [] { canvasRecord.operations.push_back("yield"); };
    test_support::requestLog = {};
    gameState = GameState();
    mainDialog = dialog;
    keyFont = GameFont(29);
    wordFont = GameFont(39);
  }
  void TearDown() override { ReleaseScreen(); }

  // After each yield, either nothing (an empty text) or one text's three prints.
  void expectOneTextPerYield() {
    const auto& operations = canvasRecord.operations;
    for (size_t i = 0; i < operations.size(); ++i) {
      if (operations[i] != "yield") continue;
      std::vector<std::string> printed;
      for (size_t j = i + 1; j < operations.size() && operations[j] != "yield"; ++j)
        if (operations[j].rfind("print", 0) == 0) printed.push_back(operations[j]);
      EXPECT_TRUE(printed.empty() || (printed.size() == 3 && printed[0] == printed[2]))
          << "after yield " << i << ": " << testing::PrintToString(printed);
    }
  }
};

TEST_F(ScreenTest, EachFrameDrawsItsTextsInOrderWithOneYieldBeforeEach) {
  struct Case {
    const char* name;
    GameState state;
    int32_t pressedKey;  // 0 for RefreshScreen
    std::vector<Face> expected;
  };
  constexpr auto state = test_support::ShownState;
  const Face maskedWord{"--a-a", 39, white, 110, 230};
  const Face wrongLetters{"x k ", 22, silver, 50, 1};
  const Case cases[] = {
      {"the start-up frame", GameState(), 0, join({pad(), counters("0", "0")})},
      {"three lives, a last word, two misses", state("--a-a", "casa", 3, 2, 12, "x k "), 0,
       join({{maskedWord}, pad("casa"), figures(3), counters("2", "12"), {wrongLetters}})},
      {"two lives", state("--a-a", "", 2, 0, 0, ""), 0,
       join({{maskedWord}, pad(), figures(2), counters("0", "0")})},
      {"one life", state("--a-a", "", 1, 0, 0, ""), 0,
       join({{maskedWord}, pad(), figures(1), counters("0", "0")})},
      {"no life", state("--a-a", "", 0, 0, 0, ""), 0, join({{maskedWord}, pad(), counters("0", "0")})},
      {"lives out of range", state("", "", 4, 0, 0, ""), 0, join({pad(), counters("0", "0")})},
      {"negative counters", state("", "", -1, -3, -17, ""), 0, join({pad(), counters("-3", "-17")})},
      {"large counters", state("", "", 0, 6, 1234567, ""), 0, join({pad(), counters("6", "1234567")})},
      {"a pressed ñ", state("--a-a", "casa", 2, 2, 12, "x k "), 15,
       join({pad("casa"),
             {{"\xF1", 29, yellow, 430, 550}},
             figures(2),
             counters("2", "12"),
             {wrongLetters},
             {maskedWord}})},
      {"a pressed a before the first game", GameState(), 1,
       join({pad(), {{"a", 29, yellow, 10, 550}}, counters("0", "0")})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gameState = c.state;
    const size_t first = canvasRecord.prints.size();
    canvasRecord.operations.clear();
    test_support::pump.calls = 0;
    if (c.pressedKey)
      PressedKeyFrame(c.pressedKey);
    else
      RefreshScreen();
    EXPECT_EQ(faces(first), c.expected);
    const int lives = c.state.lives >= 1 && c.state.lives <= 3 ? c.state.lives : 0;
    EXPECT_EQ(test_support::pump.calls, 34 + 3 * lives + (c.pressedKey ? 1 : 0)) << "one yield a text";
    EXPECT_EQ(test_support::pump.lastSleep, 1);
    expectOneTextPerYield();
    for (size_t i = first; i < canvasRecord.prints.size(); ++i)
      EXPECT_EQ(canvasRecord.prints[i].target.handle, framePicture) << "all on the frame's own picture";
  }
}

TEST_F(ScreenTest, EveryFrameRebuildsTheKeyTableIncludingOverlapsAndTheBoxPastTheEdge) {
  EXPECT_EQ(keyBoxes[1].right, 0) << "empty before the first frame";
  RefreshScreen();
  keyBoxes[13].left = -1;  // a stale table is thrown away by the next frame
  PressedKeyFrame(2);
  for (int k = 1; k <= KeyCount; ++k) {
    const KeyBox& box = keyBoxes[static_cast<size_t>(k)];
    EXPECT_EQ(box.left, keyLefts[k - 1]) << "key " << k;
    EXPECT_EQ(box.right, keyLefts[k - 1] + 29) << "key " << k;
    EXPECT_EQ(box.top, 550);
    EXPECT_EQ(box.bottom, 579);
    EXPECT_EQ(std::string(box.letter.text().view()), keyLetters.substr(static_cast<size_t>(k - 1), 1));
  }
  EXPECT_EQ(keyBoxes[12].right, 369) << "l overlaps m";
  EXPECT_EQ(keyBoxes[13].left, 360);
  EXPECT_EQ(keyBoxes[27].right, 809) << "z runs past the frame";
}

TEST_F(ScreenTest, TheBackgroundIsScaledOnceAndEachShownFrameReleasesTheOneBefore) {
  RefreshScreen();
  RefreshScreen();
  PressedKeyFrame(27);
  EXPECT_EQ(pictureOperations(),
            (std::vector<std::string>{"load #202 800x600 mode 3 = 1", "duplicate 1 = 2", "attach 7000/1001",
                                      "copy 2 mix 13",  // the first frame
                                      "duplicate 1 = 3", "attach 7000/1001", "copy 3 mix 13", "release 2",
                                      "duplicate 1 = 4", "attach 7000/1001", "copy 4 mix 13", "release 3"}));
  EXPECT_EQ(framePicture, 4u);
  EXPECT_EQ(canvasRecord.pictures, (std::set<PictureHandle>{1, 4})) << "the background and the frame shown";

  // A text still aimed at a replaced frame finds no picture and draws nothing.
  const size_t printed = canvasRecord.prints.size();
  DrawEmbossedText(3, ByteString("x"), keyFont, red, 10, 10);
  EXPECT_EQ(canvasRecord.prints.size(), printed);

  // A frame composed but never shown is given up when the next one starts.
  StartFrame();
  StartFrame();
  ShowFrame();
  EXPECT_EQ(canvasRecord.pictures, (std::set<PictureHandle>{1, 6}));
}

TEST_F(ScreenTest, WithoutTheBackgroundAFrameDrawsNothingAndTheCanvasKeepsWhatItShowed) {
  canvasRecord.backgroundMissing = true;
  gameState.lives = 3;
  gameState.maskedWord = ByteString("---");
  RefreshScreen();
  PressedKeyFrame(5);
  EXPECT_EQ(framePicture, 0u);
  EXPECT_TRUE(canvasRecord.prints.empty());
  EXPECT_EQ(pictureOperations(),
            (std::vector<std::string>{"load #202 800x600 mode 3 = 0", "attach 7000/1001", "copy 0 mix 13",
                                      "load #202 800x600 mode 3 = 0", "attach 7000/1001", "copy 0 mix 13"}))
      << "it is tried again for every frame, and only nothing is copied";
  EXPECT_EQ(keyBoxes[5].left, 130) << "the key table is still the pad's";
}

TEST_F(ScreenTest, TheFinalFrameOfALostGameShowsTheSixMissesAndTheUnsolvedWord) {
  test_support::TempFolder folder;
  std::string list;
  for (int32_t i = 0; i < UsableLines; ++i) list += "sol\r\n";
  folder.write("dic.txt", list);
  gameState.programFolder = folder.widePrefix();
  ClearUsedLines();

  size_t lastFrame = 0;
  std::vector<Face> atTheBox;
  test_support::requestLog.onRequest = [&] {
    if (test_support::requestLog.requests.back().kind == test_support::Request::Box)
      atTheBox = faces(lastFrame);
  };
  canvasRecord.operations.clear();
  StartNewGame();
  for (int life = 0; life < 3; ++life) {
    for (const char* letter : {"o", "a", "b", "c", "d", "e", "f"}) {
      lastFrame = canvasRecord.prints.size();
      gameState.currentGuess = ByteString(letter);
      EvaluateGuess();
    }
  }
  ASSERT_EQ(gameState.gameOver, 1);
  EXPECT_EQ(atTheBox, join({{{"-o-", 39, white, 110, 230}},
                            pad("sol"),
                            counters("6", "0"),
                            {{"a b c d e f ", 22, silver, 50, 1}}}));
}

}  // namespace
}  // namespace game

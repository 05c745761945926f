// Choosing words from dic.txt: the line cut, folding and masking, drawing without repeats, and a
// word list that is missing, broken or holds nothing usable.
#include "game/word_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "runtime/text/random_generator.h"
#include "runtime/text/text_file.h"
#include "tests/support/failing_call.h"
#include "tests/support/recording_pump.h"
#include "tests/support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The time of day this program's clock shows, in milliseconds since midnight.
int32_t clockReading = 0;
// What each failing call costs on that clock.
int32_t failureCost = 0;

}  // namespace

// This program's clock, linked in place of the system's so that each seed is known. Every reading
// moves it on by a millisecond, as time passes between two draws of the game.
int32_t runtime::millisecondsSinceMidnight() {
  const int32_t now = clockReading;
  clockReading = (clockReading + 1) % 86400000;
  return now;
}

namespace game {
namespace {

using namespace std::string_literals;
using test_support::pump;
using test_support::TempFolder;

std::string lines(const std::vector<std::string>& words, const std::string& end = "\r\n") {
  std::string text;
  for (const auto& word : words) text += word + end;
  return text;
}

class WordListTest : public testing::Test {
 protected:
  void SetUp() override {
    gameState = GameState();
    gameState.programFolder = folder.widePrefix();
    ClearUsedLines();
    QuietQueue();
  }
  void TearDown() override { EXPECT_EQ(runtime::openFileCount(), 0); }

  // Each yield finds no message and waits its whole time on this program's clock.
  static void QuietQueue() {
    pump = {};
    pump.sleeps = false;
    pump.onYield = [] { clockReading += pump.lastSleep; };
  }

  void writeList(const std::string& bytes) { folder.write("dic.txt", bytes); }

  // A list of every usable line holding `word`, so the first candidate is taken.
  void writeListOfOneWord(const std::string& word) { writeList(lines(std::vector(UsableLines, word))); }

  TempFolder folder;
};

TEST(MaskWord, HasOneDashForEveryByte) {
  EXPECT_EQ(MaskWord(ByteString("luz")).view(), "---");
  EXPECT_EQ(MaskWord(ByteString("casa ")).view(), "-----");
  EXPECT_TRUE(MaskWord(ByteString()).empty());
}

// A list as a teacher may write it, and the word the player is then given; "" when the list gives
// none. Every list holds at most one word, so the choice can only land on it.
TEST_F(WordListTest, GivesThePlayerTheWordEachLineSpells) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string block = std::string(126, 'b');  // with CR LF, the CR is byte 128 of the file
  std::string twentySixEnes;
  for (int i = 0; i < 26; ++i) twentySixEnes += "\xC3\xB1";  // ñ in UTF-8
  struct Case {
    const char* what;
    std::string bytes;
    std::string word;
  } cases[] = {
      // Code page 1252, as the shipped list.
      {"canci\xF3n", "canci\xF3n\r\n", "cancion"},
      {"PE\xD1"
       "A",
       "PE\xD1"
       "A\r\n",
       "pe\xF1"
       "a"},
      {"\xC1RBOL: a capital folds as a small letter", "\xC1RBOL\r\n", "arbol"},
      {"PING\xDCINO", "PING\xDCINO\r\n", "pinguino"},
      {"ping\xFCino", "ping\xFCino\r\n", "pinguino"},
      {"every accent folds", "\xE1\xE0\xE9\xE8\xED\xEC\xF3\xF2\xFA\xF9\xFC\r\n", "aaeeiioouuu"},
      // UTF-8, as Notepad saves it, with its mark or without.
      {"UTF-8 with a mark", bom + lines(std::vector<std::string>(20, "cami\xC3\xB3n")), "camion"},
      {"UTF-8 without one",
       "cig\xC3\xBC"
       "e\xC3\xB1"
       "a\r\n",
       "cigue\xF1"
       "a"},
      {"UTF-8 capitals", "\xC3\x81RBOL\r\n", "arbol"},
      {"a mark before code page 1252", bom + "canci\xF3n\r\n", "cancion"},
      {"26 two-byte letters are 26 letters", lines({twentySixEnes}), std::string(26, '\xF1')},
      {"a character beyond code page 1252", "\xC5\x93uvre\r\n", ""},  // œuvre, œ is U+0153
      {"an overlong form is no UTF-8",
       "\xC0\xAF"
       "sol\r\n",
       ""},
      {"a 3-byte overlong \xF1", "ni\xE0\x83\xB1o\r\n", ""},
      {"a 4-byte overlong \xF1", "ni\xF0\x80\x83\xB1o\r\n", ""},
      {"the lowest 3-byte character", "sol\xE0\xA0\x80\r\n", ""},
      {"a surrogate", "sol\xED\xA0\x80\r\n", ""},
      {"the last character before the surrogates", "sol\xED\x9F\xBF\r\n", ""},
      {"\xE2\x82\xAC in UTF-8, though 1252 has it", "sol\xE2\x82\xAC\r\n", ""},
      {"a 4-byte character", "sol\xF0\x9F\x98\x80\r\n", ""},
      {"the last character", "sol\xF4\x8F\xBF\xBF\r\n", ""},
      {"past the last character", "sol\xF4\x90\x80\x80\r\n", ""},
      // Lead bytes that are letters of code page 1252 where no sequence follows them.
      {"\xF1 before a letter", "a\xF1o\r\n", "a\xF1o"},
      {"\xED before a letter", "t\xEDo\r\n", "tio"},
      {"\xE0 cut by the end of the line", "voil\xE0\r\n", "voila"},
      {"a sequence cut by the end of the line", "ni\xC3\r\n\xB1o\r\n", ""},
      {"a sequence cut at 122 bytes", std::string(118, ' ') + "sol\xC3\xB1\r\n", ""},
      // Accents typed apart from their letters, as some editors and web pages give them.
      {"a combining acute", "cancio\xCC\x81n\r\n", "cancion"},
      {"a combining grave", "cafe\xCC\x80\r\n", "cafe"},
      {"a combining diaeresis", "pingu\xCC\x88ino\r\n", "pinguino"},
      {"a combining tilde",
       "pin\xCC\x83"
       "a\r\n",
       "pi\xF1"
       "a"},
      {"capitals with combining marks",
       "PEN\xCC\x83"
       "A\xCC\x81\r\n",
       "pe\xF1"
       "a"},
      {"a diaeresis no Spanish letter has",
       "ma\xCC\x88"
       "dchen\r\n",
       ""},
      {"a combining mark after a consonant", "s\xCC\x81ol\r\n", ""},
      {"a combining mark first", "\xCC\x81sol\r\n", ""},
      {"two combining marks", "solo\xCC\x81\xCC\x81\r\n", ""},
      // Line ends of every system.
      {"LF only", lines(std::vector<std::string>(20, "sol"), "\n"), "sol"},
      {"CR only", "de\rsol\r", "sol"},
      {"CR LF LF", "de\r\n\nsol\r\n", "sol"},
      {"CR at the end of a block", "x\r\n" + block + "\r\nsol\r\n", "sol"},
      // Blanks and tabs around a word go; anything inside that no key makes, the line with it.
      {"blanks around", "  casa \t\r\n", "casa"},
      {"a blank inside", "casa de campo\r\n", ""},
      {"a hyphen", "arco-iris\r\n", ""},
      {"an apostrophe", "o'higgins\r\n", ""},
      {"a digit", "mp3s\r\n", ""},
      {"a mark", "\xBFqu\xE9?\r\n", ""},
      {"\xE2 is no Spanish letter", "p\xE2t\xE9\r\n", ""},
      // Lengths, counted after all that, and the cut of a line.
      {"2 and 27 letters", lines({"de", std::string(27, 'x')}), ""},
      {"3 letters", lines({"de", "sol"}), "sol"},
      {"26 letters", lines({"", "ab", std::string(26, 'y'), std::string(122, 'z')}), std::string(26, 'y')},
      {"NUL cuts the line", "sol\0cdef\r\n"s, "sol"},
      {"a line past 122 bytes is cut", std::string(119, ' ') + "sol" + "xyz\r\n", "sol"},
      {"the mark is no part of the 122 bytes", bom + std::string(119, ' ') + "sol" + "xyz\r\n", "sol"},
      {"a 10 MB line", std::string(10 << 20, 'a') + "\r\nsol", "sol"},
      // Where the data ends.
      {"zero bytes", "", ""},
      {"Ctrl-Z first",
       "\x1A"
       "casa\r\n",
       ""},
      {"after Ctrl-Z",
       "uno\r\n\x1A"
       "dos\r\n",
       "uno"},
  };
  for (const auto& c : cases) {
    writeList(c.bytes);
    ClearUsedLines();
    pump.calls = 0;
    if (c.word.empty()) {
      EXPECT_EQ(ChooseNextWord(), WordChoice::noUsableWord) << c.what;
      EXPECT_EQ(UsedLineCount(), 0) << c.what << ": said at once";
      EXPECT_EQ(pump.calls, 0) << c.what;
      continue;
    }
    const WordChoice choice = ChooseNextWord();
    EXPECT_EQ(choice, WordChoice::chosen) << c.what;
    if (choice != WordChoice::chosen) continue;
    EXPECT_EQ(gameState.word.view(), c.word) << c.what;
    EXPECT_EQ(gameState.maskedWord.view(), std::string(c.word.size(), '-')) << c.what;
    // Numbers beyond the list's end cost no yield; each line drawn, one.
    EXPECT_GE(pump.calls, 1) << c.what;
    EXPECT_LE(pump.calls, 20) << c.what;
  }
}

TEST_F(WordListTest, TakesTheFirstAcceptableCandidateAfterOneYieldEach) {
  writeListOfOneWord("Luz");
  gameState.word = ByteString("previa");
  ASSERT_EQ(ChooseNextWord(), WordChoice::chosen);
  EXPECT_EQ(gameState.lastWord.view(), "previa");
  EXPECT_EQ(gameState.word.view(), "luz");
  EXPECT_EQ(gameState.maskedWord.view(), "---");
  EXPECT_EQ(UsedLineCount(), 1);
  EXPECT_EQ(pump.calls, 1);
  EXPECT_EQ(pump.lastSleep, 1);
  // The next choice remembers this word, not a candidate.
  ASSERT_EQ(ChooseNextWord(), WordChoice::chosen);
  EXPECT_EQ(gameState.lastWord.view(), "luz");
}

TEST_F(WordListTest, LinesAfterTheLastThatCanBeDrawnNeverBecomeWords) {
  for (const std::string end : {"\r\n", "\n"}) {
    writeList(lines(std::vector<std::string>(UsableLines, "de"), end) + "sol" + end);
    ClearUsedLines();
    EXPECT_EQ(ChooseNextWord(), WordChoice::noUsableWord);
  }
}

// Twelve words are played, then the thirteenth choice says the list is used up, without drawing.
TEST_F(WordListTest, AUsedUpListIsToldAtOnce) {
  std::vector<std::string> words;
  for (char c = 'a'; c < 'a' + 12; ++c) words.push_back(std::string(3, c));
  writeList(lines(words));
  std::set<std::string> played;
  for (size_t i = 0; i < words.size(); ++i) {
    ASSERT_EQ(ChooseNextWord(), WordChoice::chosen);
    played.emplace(gameState.word.view());
  }
  EXPECT_EQ(played.size(), words.size());
  const int32_t drawn = UsedLineCount();
  pump.calls = 0;
  EXPECT_EQ(ChooseNextWord(), WordChoice::listUsedUp);
  EXPECT_EQ(UsedLineCount(), drawn);
  EXPECT_EQ(pump.calls, 0);
  ClearUsedLines();
  EXPECT_EQ(ChooseNextWord(), WordChoice::chosen);
}

TEST_F(WordListTest, NeverDrawsANumberTwiceInOneGame) {
  std::vector<bool> seen(UsableLines + 1);
  for (int32_t i = 0; i < UsableLines; ++i) {
    const int32_t n = PickLineNumber();
    ASSERT_GE(n, 1);
    ASSERT_LE(n, UsableLines);
    ASSERT_FALSE(seen[static_cast<size_t>(n)]) << n << " drawn twice";
    seen[static_cast<size_t>(n)] = true;
  }
  EXPECT_EQ(UsedLineCount(), UsableLines);
  EXPECT_EQ(PickLineNumber(), 0);  // nothing is left to draw
  ClearUsedLines();
  EXPECT_GE(PickLineNumber(), 1);
}

TEST_F(WordListTest, DrawsFromTheGeneratorReseededFromTheClockAtEveryDraw) {
  // One game's draws in order. The seed is the single-precision pattern of the time in seconds;
  // each draw steps s := s * 134775813 + 1 (mod 2^32) and gives 1 + floor((s >> 1) * 87568 / 2^31),
  // and a number drawn before is passed over for the next draw from the same seed. The numbers
  // below were worked out from that rule apart from this code, in exact arithmetic.
  struct Case {
    const char* time;
    int32_t milliseconds;
    int32_t line;
  } cases[] = {
      {"00:00:00.000", 0, 1},             // seed 0: first state 1
      {"00:00:00.000", 0, 2748},          // line 1 is taken: the second draw
      {"12:00:00.500", 43200500, 36620},  // seed 43200.5, pattern 1193853056
      {"12:00:00.501", 43200501, 25857},  // the same seed, seeds step by 1/256 s here
      {"09:06:08.000", 32768000, 33865},
      {"09:06:08.003", 32768003, 36613},  // seed 32768.00390625
      {"18:12:16.004", 65536004, 37468},  // seed 65536.0078125, by 1/128 s from 18:12:16 on
      {"23:59:59.999", 86399999, 36018},  // seed 86400
      {"00:00:00.000", 0, 75401},         // lines 1 and 2748 are taken: the third draw
  };
  for (const auto& c : cases) {
    clockReading = c.milliseconds;
    EXPECT_EQ(PickLineNumber(), c.line) << c.time;
  }
}

TEST_F(WordListTest, SaysAtOnceWhenTheSystemSaysTheListIsNotThere) {
  struct Case {
    const char* what;
    std::string programDir;
    bool folderNamedList;
    std::optional<runtime::SystemCall> failing;
  } cases[] = {
      {"no dic.txt", folder.prefix().data(), false, {}},
      {"no dic.txt, and looking at it fails", folder.prefix().data(), false, runtime::SystemCall::fileFind},
      {"no such folder", (folder.path() / "nada" / "").string(), false, {}},
      {"a folder named dic.txt", folder.prefix().data(), true, {}},
  };
  for (const auto& c : cases) {
    if (c.folderNamedList) std::filesystem::create_directory(folder.path() / "dic.txt");
    gameState.programFolder = std::filesystem::path(c.programDir).u16string();
    gameState.word = ByteString("previa");
    ClearUsedLines();
    pump.calls = 0;
    test_support::failingCall = c.failing;
    EXPECT_EQ(ChooseNextWord(), WordChoice::listMissing) << c.what;
    test_support::failingCall.reset();
    EXPECT_EQ(UsedLineCount(), 0) << c.what;
    EXPECT_EQ(pump.calls, 0) << c.what;
    EXPECT_EQ(gameState.lastWord.view(), "previa") << c.what;
  }
}

TEST_F(WordListTest, SaysSoWhenTheListIsRemovedBetweenTwoWords) {
  writeListOfOneWord("sol");
  ASSERT_EQ(ChooseNextWord(), WordChoice::chosen);
  std::filesystem::remove(folder.path() / "dic.txt");
  EXPECT_EQ(ChooseNextWord(), WordChoice::listMissing);
  // Put back, the next new game finds it again.
  writeListOfOneWord("mar");
  ClearUsedLines();
  ASSERT_EQ(ChooseNextWord(), WordChoice::chosen);
  EXPECT_EQ(gameState.word.view(), "mar");
}

// A list that is there but cannot be had is tried again for a second on the clock, however busy
// the window is; once the fault has passed, the next new game plays.
TEST_F(WordListTest, AListThatCannotBeReadIsRetriedForASecondThenSaidUnreadable) {
  // Long enough that a try finds its word with few readings of this program's clock.
  writeList(lines(std::vector<std::string>(5000, "sol")));
  for (const runtime::SystemCall call :
       {runtime::SystemCall::fileOpen, runtime::SystemCall::fileRead, runtime::SystemCall::stringMemory}) {
    for (const bool busy : {false, true}) {
      SCOPED_TRACE(testing::Message() << static_cast<int>(call) << (busy ? ", busy" : ", quiet"));
      QuietQueue();
      if (busy) pump.onYield = nullptr;  // every yield handles a message and returns at once
      ClearUsedLines();
      const int32_t start = clockReading;
      WordChoice choice;
      {
        const test_support::FailingCall failing(call);
        choice = ChooseNextWord();
      }
      // Out of memory is no fault of the list.
      EXPECT_EQ(choice, call == runtime::SystemCall::stringMemory ? WordChoice::noMemory
                                                                  : WordChoice::listUnreadable);
      EXPECT_GE(clockReading - start, ListRetryMilliseconds);
      EXPECT_LE(clockReading - start, ListRetryMilliseconds + 2 * ListRetryPauseMilliseconds);
      ClearUsedLines();
      ASSERT_EQ(ChooseNextWord(), WordChoice::chosen);
      EXPECT_EQ(gameState.word.view(), "sol");
    }
  }
}

// A try that stalls, as a list on a network folder whose server has gone does, counts against the
// same second as the pauses: one that took the whole second is not made again.
TEST_F(WordListTest, TheRetrySecondStartsWithTheFirstTry) {
  writeList(lines(std::vector<std::string>(50, "sol")));
  const struct {
    int32_t tryMilliseconds;
    int tries;
  } cases[] = {{ListRetryMilliseconds + 500, 1}, {600, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tryMilliseconds);
    failureCost = c.tryMilliseconds;
    test_support::onFailure = [] { clockReading += failureCost; };
    ClearUsedLines();
    WordChoice choice;
    int tries;
    {
      const test_support::FailingCall failing(runtime::SystemCall::fileOpen);
      choice = ChooseNextWord();
      tries = test_support::failingKindAsked;
    }
    test_support::onFailure = nullptr;
    EXPECT_EQ(choice, WordChoice::listUnreadable);
    EXPECT_EQ(tries, c.tries);
  }
}

#ifdef _WIN32
TEST_F(WordListTest, AListHeldByAnotherProgramIsWaitedForButNotForEver) {
  writeListOfOneWord("sol");
  const std::wstring name = (folder.path() / "dic.txt").wstring();
  // Another program that shares nothing lets go during the third yield of the retries.
  HANDLE other = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  pump.calls = 0;
  pump.onYield = [&] {
    clockReading += pump.lastSleep;
    if (pump.calls == 3) CloseHandle(other);
  };
  ASSERT_EQ(ChooseNextWord(), WordChoice::chosen);
  EXPECT_EQ(gameState.word.view(), "sol");

  // Held for good, it is said unreadable, not missing.
  other = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  QuietQueue();
  EXPECT_EQ(ChooseNextWord(), WordChoice::listUnreadable);
  CloseHandle(other);
}
#endif

}  // namespace
}  // namespace game

// Choosing each round's word from "dic.txt".
#include "game/word_list.h"

#include <bitset>

#include "game/game_state.h"
#include "runtime/host/message_pump.h"
#include "runtime/text/error_code.h"
#include "runtime/text/fixed_text.h"
#include "runtime/text/random_generator.h"
#include "runtime/text/string_ops.h"
#include "runtime/text/text_file.h"

namespace game {

using namespace runtime;

namespace {

constexpr int16_t WordFileNumber = 1;
constexpr int32_t WordFileBlock = 128;

// One flag per line number, index 0 unused; the count spares a scan to know when all are drawn.
std::bitset<UsableLines + 1> usedLines;
int32_t usedLineCount = 0;

// A line as the game takes it: up to its first NUL, and at most 122 bytes.
ByteString CutLine(const ByteString& line) {
  FixedText<123> cut;
  cut = line;
  return cut.text();
}

// The line the word file stands at, as the game takes it; the file is closed on the way out.
ByteString ReadLineAndClose() {
  const ByteString line = readLine(WordFileNumber);
  closeFile(WordFileNumber);
  return CutLine(line);
}

// Line n of the open word file, which is closed on the way out.
ByteString ReadLineNumber(int32_t lineNumber) {
  // Lines before line n are passed over without being kept or cut: nothing would see them.
  if (lineNumber == 1) return ReadLineAndClose();
  skipLine(WordFileNumber);
  for (int32_t i = 2; !atEnd(WordFileNumber); ++i) {
    if (i == lineNumber) return ReadLineAndClose();
    skipLine(WordFileNumber);
  }
  closeFile(WordFileNumber);
  return {};
}

char FoldedByte(char byte) {
  switch (static_cast<unsigned char>(byte)) {
    case 0xE1:  // á
    case 0xE0:  // à
      return 'a';
    case 0xE9:  // é
    case 0xE8:  // è
      return 'e';
    case 0xED:  // í
    case 0xEC:  // ì
      return 'i';
    case 0xF3:  // ó
    case 0xF2:  // ò
      return 'o';
    case 0xFA:  // ú
    case 0xF9:  // ù
      return 'u';
    default:
      return byte;
  }
}

}  // namespace

void ClearUsedLines() {
  usedLines.reset();
  usedLineCount = 0;
}

int32_t PickLineNumber() {
  if (usedLineCount == UsableLines) return 0;
  randomize(secondsSinceMidnight());
  int32_t n;
  do n = randomRange(1, UsableLines);
  while (usedLines[static_cast<size_t>(n)]);
  usedLines[static_cast<size_t>(n)] = true;
  ++usedLineCount;
  return n;
}

int32_t UsedLineCount() {
  return usedLineCount;
}

ByteString ReadWordLine(int32_t lineNumber, bool* fileMissing, bool* unread) {
  const std::u16string path = gameState.programFolder + u"dic.txt";
  // Cleared first, so that a list whose reads failed, or a line there was no memory to hold, is
  // told from a line that is empty or not there (which leaves at most "input past end").
  errorCode = 0;
  openForInput(path, WordFileNumber, WordFileBlock);
  const bool opened = isOpen(WordFileNumber);
  if (fileMissing) *fileMissing = !opened && !existsAsFile(path);
  ByteString line = ReadLineNumber(lineNumber);
  if (unread) *unread = !opened || (errorCode != 0 && errorCode != error::inputPastEnd);
  return line;
}

ByteString FoldAccents(const ByteString& s) {
  const ByteString folded = ByteString::build(s.size(), [&](char* out) {
    for (int32_t i = 0; i < s.size(); ++i) out[i] = FoldedByte(s.data()[i]);
  });
  return CutLine(folded);
}

ByteString MaskWord(const ByteString& w) {
  return fill(length(w), ByteString("-"));
}

bool ChooseNextWord() {
  gameState.lastWord = gameState.word;
  int32_t failedReads = 0;
  for (;;) {
    const int32_t n = PickLineNumber();
    if (n == 0) return false;
    bool fileMissing = false, unread = false;
    gameState.word = ReadWordLine(n, &fileMissing, &unread);
    // A list that is not there will not appear by trying 87568 line numbers, each costing a yield
    // and an open; nor will one that stayed unreadable for a second of tries, a pause after each:
    // another program reading it has let go by then, a disk may answer again, memory may be back. A
    // failure that passes costs a line number, not the player's game.
    if (fileMissing || (unread && ++failedReads == OpenAttempts)) return false;
    if (!unread) failedReads = 0;
    doEvents(unread ? OpenRetryWait : 1);
    const int32_t size = length(gameState.word);
    if (size >= ShortestWord && size <= LongestWord) break;
  }
  gameState.word = toLower(FoldAccents(gameState.word));
  gameState.maskedWord = MaskWord(gameState.word);
  return true;
}

}  // namespace game

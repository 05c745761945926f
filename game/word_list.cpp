// Choosing each round's word from "dic.txt".
#include "game/word_list.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_state.h"
#include "runtime/host/message_pump.h"
#include "runtime/text/case_map.h"
#include "runtime/text/error_code.h"
#include "runtime/text/random_generator.h"
#include "runtime/text/string_ops.h"
#include "runtime/text/text_file.h"

namespace game {

using namespace runtime;

namespace {

constexpr int16_t WordFileNumber = 1;
// The whole list is read once a choice, so in few large blocks.
constexpr int32_t WordFileBlock = 64 * 1024;
constexpr int32_t LineCut = 122;  // a line is taken up to its first NUL and this many bytes
constexpr int32_t ByteOrderMarkSize = 3;
constexpr int32_t DayMilliseconds = 86400000;

// One flag per line number, index 0 unused; the count spares a scan to know when all are drawn.
std::bitset<UsableLines + 1> usedLines;
int32_t usedLineCount = 0;

// Where the last pick's walk stopped, and the seed it started from. A pick whose clock gives the
// same seed walks the same numbers, all drawn by now, so it may go on from there: with numbers
// beyond a short list costing nothing, many picks fall within one tick of the seed.
uint32_t walkSeed = 0;
uint32_t walkState = 0;
bool walkKnown = false;

// The list as this choice read it: for each line (index 0 unused) where its word stands in
// `words`, with size 0 for a line that gives none.
struct ListLine {
  int32_t start = 0;
  int32_t size = 0;
};
std::vector<ListLine> listLines;
std::string listWords;  // empty when no line gives a word

bool IsPadLetter(char byte) {
  return (byte >= 'a' && byte <= 'z') || byte == '\xF1';  // ñ
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
    case 0xFC:  // ü: accents do not count, the diaeresis neither
      return 'u';
    default:
      return byte;
  }
}

enum class Utf8Line : uint8_t { readAs1252, converted, beyondLatin1 };

// The code page 1252 letter `base` with the combining `mark` (U+0300 grave, U+0301 acute, U+0303
// tilde, U+0308 diaeresis) put on it, where the pad's letters need it; 0 for any other pair, which
// as one letter could not be played either.
char Composed(char base, uint32_t mark) {
  constexpr std::string_view bases = "aeiouAEIOU";
  const size_t vowel = bases.find(base);
  switch (mark) {
    case 0x300:
      return vowel == bases.npos ? 0 : "\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9"[vowel];
    case 0x301:
      return vowel == bases.npos ? 0 : "\xE1\xE9\xED\xF3\xFA\xC1\xC9\xCD\xD3\xDA"[vowel];
    case 0x303:
      return base == 'n' ? '\xF1' : base == 'N' ? '\xD1' : 0;
    case 0x308:
      return base == 'u' ? '\xFC' : base == 'U' ? '\xDC' : 0;
    default:
      return 0;
  }
}

// A line that is valid UTF-8 and holds at least one character beyond ASCII, as code page 1252
// bytes in `out`. Only characters up to U+00FF can become letters of the pad, so anything else
// makes the line unusable, whether or not 1252 has a byte for it; but an accent typed apart from
// its letter, as some editors and web pages give them, is put on the letter before it. Any other
// line is read as 1252.
Utf8Line FromUtf8(const unsigned char* in, int32_t size, char* out, int32_t& outSize) {
  bool beyondAscii = false, beyondLatin1 = false;
  bool afterPlainLetter = false;  // the last byte of `out` is an ASCII letter that may take a mark
  outSize = 0;
  for (int32_t i = 0; i < size;) {
    const unsigned char lead = in[i];
    if (lead < 0x80) {
      out[outSize++] = static_cast<char>(lead);
      afterPlainLetter = true;
      ++i;
      continue;
    }
    // The lead byte fixes the length and, against overlong forms and surrogates, the range of the
    // second byte.
    int32_t length;
    unsigned char low = 0x80, high = 0xBF;
    uint32_t c;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, c = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, c = lead & 0x0Fu;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, c = lead & 0x07u;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return Utf8Line::readAs1252;
    }
    if (i + length > size || in[i + 1] < low || in[i + 1] > high) return Utf8Line::readAs1252;
    for (int32_t k = 1; k < length; ++k) {
      if ((in[i + k] & 0xC0) != 0x80) return Utf8Line::readAs1252;
      c = c << 6 | (in[i + k] & 0x3Fu);
    }
    beyondAscii = true;
    const char composed = afterPlainLetter ? Composed(out[outSize - 1], c) : 0;
    if (composed)
      out[outSize - 1] = composed;
    else if (c >= 0xA0 && c <= 0xFF)
      out[outSize++] = static_cast<char>(c);
    else
      beyondLatin1 = true;
    afterPlainLetter = false;
    i += length;
  }
  if (!beyondAscii) return Utf8Line::readAs1252;
  return beyondLatin1 ? Utf8Line::beyondLatin1 : Utf8Line::converted;
}

// The word the `size` bytes of a line give, written to `word` (room for LongestWord bytes); its
// size, 0 when the line gives none.
int32_t WordInto(const char* line, int32_t size, char* word) {
  size = std::min(size, LineCut);
  if (const void* nul = std::memchr(line, '\0', static_cast<size_t>(size)))
    size = static_cast<int32_t>(static_cast<const char*>(nul) - line);
  char text[LineCut];
  int32_t textSize;
  switch (FromUtf8(reinterpret_cast<const unsigned char*>(line), size, text, textSize)) {
    case Utf8Line::beyondLatin1:
      return 0;
    case Utf8Line::readAs1252:
      std::memcpy(text, line, static_cast<size_t>(size));
      textSize = size;
      break;
    case Utf8Line::converted:
      break;
  }
  auto blank = [](char byte) { return byte == ' ' || byte == '\t'; };
  int32_t first = 0, end = textSize;
  while (first < end && blank(text[first])) ++first;
  while (end > first && blank(text[end - 1])) --end;
  const int32_t wordSize = end - first;
  if (wordSize < ShortestWord || wordSize > LongestWord) return 0;
  std::memcpy(word, text + first, static_cast<size_t>(wordSize));
  // Lower-cased first, so that capitals with accents fold as small letters do.
  lowerBytes(word, wordSize);
  for (int32_t i = 0; i < wordSize; ++i) {
    word[i] = FoldedByte(word[i]);
    if (!IsPadLetter(word[i])) return 0;
  }
  return wordSize;
}

bool StartsWithByteOrderMark(const char* line, int32_t size) {
  return size >= ByteOrderMarkSize && std::memcmp(line, "\xEF\xBB\xBF", ByteOrderMarkSize) == 0;
}

// Reads the list's lines, up to the last that can be drawn, into listLines and listWords. Chosen
// when it was read whole; else why not.
WordChoice ReadList() {
  const std::u16string path = gameState.programFolder + u"dic.txt";
  errorCode = 0;
  openForInput(path, WordFileNumber, WordFileBlock, LineEnds::anyNewline);
  if (!isOpen(WordFileNumber)) {
    const bool missing =
        errorCode == error::fileNotFound || errorCode == error::pathNotFound || isFolder(path);
    return missing ? WordChoice::listMissing : WordChoice::listUnreadable;
  }
  bool noMemory = false;
  try {
    listLines.assign(1, ListLine{});
    listWords.clear();
    // Room for the mark Notepad puts before UTF-8 text, which is no part of the first line's cut.
    char line[ByteOrderMarkSize + LineCut];
    char word[LongestWord];
    while (static_cast<int32_t>(listLines.size()) <= UsableLines && !atEnd(WordFileNumber)) {
      int32_t size = readLineInto(WordFileNumber, line, static_cast<int32_t>(sizeof line));
      if (listLines.size() == 1 && StartsWithByteOrderMark(line, size)) {
        size -= ByteOrderMarkSize;
        std::memmove(line, line + ByteOrderMarkSize, static_cast<size_t>(size));
      }
      const int32_t wordSize = WordInto(line, size, word);
      listLines.push_back({static_cast<int32_t>(listWords.size()), wordSize});
      listWords.append(word, static_cast<size_t>(wordSize));
    }
  } catch (const std::bad_alloc&) {
    noMemory = true;
  }
  // The reads' own failures, not errorCode, which anything else may have set meanwhile.
  const bool readFailed = hadReadError(WordFileNumber);
  closeFile(WordFileNumber);
  if (noMemory) return WordChoice::noMemory;
  return readFailed ? WordChoice::listUnreadable : WordChoice::chosen;
}

bool AnyUsableLineLeft() {
  for (size_t n = 1; n < listLines.size(); ++n)
    if (listLines[n].size > 0 && !usedLines[n]) return true;
  return false;
}

// Draws from the list ReadList read, until a number lands on a line that gives a word.
WordChoice DrawWord() {
  if (listWords.empty()) return WordChoice::noUsableWord;
  if (!AnyUsableLineLeft()) return WordChoice::listUsedUp;
  for (;;) {
    const auto n = static_cast<size_t>(PickLineNumber());
    if (n == 0) return WordChoice::listUsedUp;
    if (n >= listLines.size()) continue;  // beyond the end: no line to read, nothing to wait for
    doEvents(1);
    // Looked up after the yield: whatever ran in it, the index stays within the list.
    if (n >= listLines.size() || listLines[n].size == 0) continue;
    gameState.word = ByteString(listWords.data() + listLines[n].start, listLines[n].size);
    gameState.maskedWord = MaskWord(gameState.word);
    if (!gameState.word.empty() && gameState.maskedWord.size() == gameState.word.size())
      return WordChoice::chosen;
    // Without memory to hold it the word was never played: its number goes back, and the choice
    // is tried again.
    usedLines[n] = false;
    --usedLineCount;
    walkKnown = false;
    return WordChoice::noMemory;
  }
}

// Milliseconds from `start` on the time-of-day clock, across midnight. A clock set back or far
// forward reads as a long time, so a wait can end early but never last for hours.
int32_t ElapsedSince(int32_t start) {
  return (millisecondsSinceMidnight() - start + DayMilliseconds) % DayMilliseconds;
}

// Waits `milliseconds` in full: doEvents returns at once when it handles a message, so it is asked
// again until the time is up, and the window keeps answering meanwhile.
void PauseLettingMessagesThrough(int32_t milliseconds) {
  const int32_t start = millisecondsSinceMidnight();
  for (int32_t waited = 0; waited < milliseconds; waited = ElapsedSince(start))
    doEvents(milliseconds - waited);
}

}  // namespace

void ClearUsedLines() {
  usedLines.reset();
  usedLineCount = 0;
  walkKnown = false;
}

int32_t PickLineNumber() {
  if (usedLineCount == UsableLines) return 0;
  randomize(secondsSinceMidnight());
  const uint32_t seed = randomGenerator.state;
  if (walkKnown && seed == walkSeed) randomGenerator.state = walkState;
  int32_t n;
  do n = randomRange(1, UsableLines);
  while (usedLines[static_cast<size_t>(n)]);
  usedLines[static_cast<size_t>(n)] = true;
  ++usedLineCount;
  walkSeed = seed;
  walkState = randomGenerator.state;
  walkKnown = true;
  return n;
}

int32_t UsedLineCount() {
  return usedLineCount;
}

ByteString WordFromLine(const ByteString& line) {
  char word[LongestWord];
  return ByteString(word, WordInto(line.data(), line.size(), word));
}

ByteString MaskWord(const ByteString& w) {
  return fill(length(w), ByteString("-"));
}

WordChoice ChooseNextWord() {
  gameState.lastWord = gameState.word;
  // Counted from before the first try: a try that stalls, as on a network folder whose server has
  // gone, spends the same time as the pauses and is not made again once it has spent it all.
  const int32_t start = millisecondsSinceMidnight();
  for (;;) {
    WordChoice choice = ReadList();
    if (choice == WordChoice::chosen) choice = DrawWord();
    if (choice != WordChoice::listUnreadable && choice != WordChoice::noMemory) return choice;
    // A failure that passes (another program writing the list, a network folder that stalls, a
    // moment without memory) costs a pause, not the player's game.
    if (ElapsedSince(start) >= ListRetryMilliseconds) return choice;
    PauseLettingMessagesThrough(ListRetryPauseMilliseconds);
  }
}

}  // namespace game

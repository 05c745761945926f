// The word list "dic.txt" beside the program, and the random choice of each round's word.
#pragma once

#include <cstdint>

#include "runtime/text/byte_string.h"

namespace game {

using runtime::ByteString;

inline constexpr int32_t UsableLines = 87568;  // lines after this one never become words
inline constexpr int32_t ShortestWord = 3;
inline constexpr int32_t LongestWord = 26;
// A list that is there but cannot be read is tried again this long, a pause after each try, for
// another program that writes it or a network folder that stalls to let go.
inline constexpr int32_t ListRetryMilliseconds = 1000;
inline constexpr int32_t ListRetryPauseMilliseconds = 100;

// What a word choice came to.
enum class WordChoice : uint8_t {
  chosen,
  listMissing,     // the system says dic.txt, or its folder, is not there
  listUnreadable,  // it is there, but could not be read for the whole of the retries
  noMemory,        // the program had too little memory to read the list or hold its word
  noUsableWord,    // none of its lines gives a word the pad can spell
  listUsedUp,      // every line that gives a word has been drawn in this game
};

// Makes every line number available again; each new game starts with it.
void ClearUsedLines();

// Reads the list once, then draws line numbers not yet drawn in this game until one gives a word:
// a number beyond the list's end costs nothing more, a line of the list yields once to the window.
// Sets lastWord, then, when a word is chosen, word and maskedWord.
WordChoice ChooseNextWord();

// A fresh random line number from 1 to UsableLines, seeded anew from the clock and marked as used;
// 0 once every number has been drawn.
int32_t PickLineNumber();

// How many line numbers have been drawn since the last ClearUsedLines.
int32_t UsedLineCount();

// The word a line of the list gives the player, empty when the line gives none. The line is cut
// at its first NUL and to 122 bytes; read as UTF-8 when it is valid UTF-8 with at least one
// character beyond ASCII (a combining grave, acute or diaeresis put on the vowel before it, a
// combining tilde on the n), else as code page 1252; stripped of blanks and tabs at both ends;
// lower-cased, then folded (á à é è í ì ó ò ú ù ü to plain vowels). What is left must be 3 to 26
// of the pad's letters, a to z and ñ.
ByteString WordFromLine(const ByteString& line);

// One "-" for every byte of w.
ByteString MaskWord(const ByteString& w);

}  // namespace game

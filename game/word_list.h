// The word list "dic.txt" beside the program, and the random choice of each round's word.
#pragma once

#include <cstdint>

#include "runtime/text/byte_string.h"

namespace game {

using runtime::ByteString;

inline constexpr int32_t UsableLines = 87568;  // lines after this one never become words
inline constexpr int32_t ShortestWord = 3;
inline constexpr int32_t LongestWord = 26;
// Reads of a present list that may fail in a row before a word choice gives up, and the wait after
// each: about a second in all, for another program that reads the list to let go of it.
inline constexpr int32_t OpenAttempts = 10;
inline constexpr int32_t OpenRetryWait = 100;

// Makes every line number available again; each new game starts with it.
void ClearUsedLines();

// Draws line numbers not yet drawn in this game and reads their lines until one of 3 to 26 bytes
// turns up, yielding once per candidate. Sets lastWord, then word (folded and lower-cased) and
// maskedWord. Returns false, with word and maskedWord not set, when no word can be had: every
// number has been drawn, or the word list does not exist.
bool ChooseNextWord();

// A fresh random line number from 1 to UsableLines, seeded anew from the clock and marked as used;
// 0 once every number has been drawn.
int32_t PickLineNumber();

// How many line numbers have been drawn since the last ClearUsedLines.
int32_t UsedLineCount();

// Line n of the word list, cut at its first NUL and to 122 bytes; empty when the file cannot be
// opened or has no line n. The file is opened and closed again on every call. When `fileMissing`
// is given it says whether the list is absent (no such file, or a folder in its place), as opposed
// to present but unreadable for the moment; `unread` says whether it could not be opened or read, or
// there was no memory to hold the line. Clears the runtime's error number first.
ByteString ReadWordLine(int32_t lineNumber, bool* fileMissing = nullptr, bool* unread = nullptr);

// The accented lower-case vowels á à é è í ì ó ò ú ù as plain vowels; nothing else changes.
ByteString FoldAccents(const ByteString& s);

// One "-" for every byte of w.
ByteString MaskWord(const ByteString& w);

}  // namespace game

// The string operations the game uses. Positions are 1-based; lengths count bytes. None of them
// changes its arguments, and each accepts the empty string.
#pragma once

#include <cstdint>

#include "runtime/text/byte_string.h"

namespace runtime {

ByteString concat(const ByteString& a, const ByteString& b);
int32_t length(const ByteString& s) noexcept;

// Bytes start .. start + count - 1, cut at the end of s.
ByteString slice(const ByteString& s, int32_t start, int32_t count);

// Position of m in s, 0 when absent. start >= 1 searches forward from start; start -1 searches
// backward and finds the last occurrence; any other start, an empty s or an empty m gives 0.
int32_t find(const ByteString& s, const ByteString& m, int32_t start);

// Code page 1252 lower-casing, as Windows' ANSI lower-casing does it; the length never changes.
ByteString toLower(const ByteString& s);

// n copies of c's first byte; an empty c fills with NUL bytes.
ByteString fill(int32_t n, const ByteString& c);

// s without `count` bytes from `start`; a start outside s or a count <= 0 leaves s as it is.
ByteString eraseAt(const ByteString& s, int32_t start, int32_t count);

// s with t put in before position pos; a pos <= 0 or beyond the end appends t.
ByteString insertAt(const ByteString& s, const ByteString& t, int32_t pos);

// s with every occurrence of m taken out, scanning left to right.
ByteString removeAll(const ByteString& s, const ByteString& m);

// Bytewise and exact: negative when a sorts first, 0 when equal, positive otherwise. A prefix sorts
// before the longer string.
int compare(const ByteString& a, const ByteString& b) noexcept;

// Decimal text with up to 15 significant digits, led by a blank for x >= 0 and "-" below 0.
ByteString formatNumber(double x);

}  // namespace runtime

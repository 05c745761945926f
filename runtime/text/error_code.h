// The error number a failing runtime service leaves behind, and the mapping from system errors.
#pragma once

#include <cstdint>

namespace runtime {

// Failing services record a number here and return a neutral result; the caller goes on with its
// next step. Tests and diagnostics read it; the game only to tell a word-list line that could not
// be read, for want of memory or through a failed read, from an empty one.
extern int32_t errorCode;

namespace error {
inline constexpr int32_t illegalCall = 5;     // buffer size below 1 at open
inline constexpr int32_t outOfMemory = 7;     // string or buffer storage could not be had
inline constexpr int32_t badFileNumber = 52;  // negative number at open, or reading a closed one
inline constexpr int32_t fileNotFound = 53;   // end test on a number that is not open
inline constexpr int32_t fileAlreadyOpen = 55;
inline constexpr int32_t inputPastEnd = 62;
inline constexpr int32_t badFileName = 64;  // empty, or holding a wildcard
inline constexpr int32_t pathNotFound = 76;
inline constexpr int32_t firstFatal = 241;  // from here on the process cannot go on
}  // namespace error

// Records `number` in errorCode; a number of 241 or more ends the process with exit code 255.
void recordError(int32_t number);

// The runtime's error number for a Windows system error code (GetLastError). The native build
// translates errno to these codes first, so both builds share one table.
int32_t errorFromSystem(uint32_t systemError);

}  // namespace runtime

// The error mode that shows no critical-error or open-file box while a system call runs.
#pragma once

#include <windows.h>

namespace runtime {

// This system's SetThreadErrorMode, which Windows 7 brought; null on older systems. Looked up once
// as the program starts.
using SetThreadErrorModeCall = BOOL(WINAPI*)(DWORD mode, DWORD* previous);
extern const SetThreadErrorModeCall setThreadErrorMode;

// No critical-error or open-file box while it lives, the error mode as it was after. The mode is
// the thread's own where the system has one, so no other thread's boxes change, and setting it
// costs no trip to the system (under Wine the process-wide mode is a server request, twice per
// 128-byte block of a file read); older systems have only the process's mode.
class QuietErrorMode {
 public:
  explicit QuietErrorMode(SetThreadErrorModeCall threadCall = setThreadErrorMode);
  ~QuietErrorMode();
  QuietErrorMode(const QuietErrorMode&) = delete;
  QuietErrorMode& operator=(const QuietErrorMode&) = delete;

 private:
  SetThreadErrorModeCall threadCall_;
  DWORD previous_ = 0;
};

}  // namespace runtime

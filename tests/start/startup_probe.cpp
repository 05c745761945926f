// A program built on the game's start-up code that reports what its main procedure was given.
// It writes its findings to the file named by LETRAZUL_PROBE_OUT and returns the exit code given
// in LETRAZUL_PROBE_EXIT.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/canvas/font_table.h"
#include "runtime/start/process_start.h"
#include "runtime/start/thread_record.h"

namespace {

int32_t ProbeMain(void* module, void* previous, const wchar_t* arguments, int32_t showCommand) {
  uint16_t controlWord = 0;
  __asm__ volatile("fnstcw %0" : "=m"(controlWord));
  controlWord &= 0x1F3F;  // bit 6 is reserved and always reads as 1
  const runtime::ThreadRecord* record = runtime::threadRecord();
  const char* out = std::getenv("LETRAZUL_PROBE_OUT");
  if (out) {
    if (FILE* file = std::fopen(out, "wb")) {
      runtime::FontDescription first, third;
      runtime::fontDescription(1, first);
      runtime::fontDescription(3, third);
      std::fprintf(
          file, "module %d\nprevious %d\nshow %d\nx87 %04x\nfonts %d %ls %g %ls %g\nrecord %d %d %d %d %u\n",
          module == GetModuleHandleW(nullptr), previous == nullptr, showCommand, controlWord,
          runtime::fontCount(), first.face, first.points, third.face, third.points, record->fontNumbers[0],
          record->fontNumbers[1], record->fontNumbers[2], record->fontNumbers[3], record->codePage);
      std::fprintf(file, "arguments [%ls]\n", arguments);
      std::fclose(file);
    }
  }
  const char* exitCode = std::getenv("LETRAZUL_PROBE_EXIT");
  return exitCode ? std::atoi(exitCode) : 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  runtime::runProgram(ProbeMain, nullptr);
}

// Finding the argument text in the command line the system hands the program.
#include "runtime/start/command_line.h"

namespace runtime {

const wchar_t* argumentText(const wchar_t* commandLine) {
  const wchar_t* at = commandLine;
  if (*at == L'"') {
    ++at;
    while (*at && *at != L'"') ++at;
    if (*at == L'"') ++at;
  } else {
    while (*at > L' ') ++at;
  }
  while (*at == L' ') ++at;
  return at;
}

}  // namespace runtime

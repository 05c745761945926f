// Finding the argument text after the program's name.
#include "runtime/start/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace runtime {
namespace {

TEST(ArgumentText, SkipsTheProgramNameAndTheBlanksAfterIt) {
  struct Case {
    const wchar_t* line;
    const wchar_t* arguments;
  } cases[] = {
      {L"\"C:\\Program Files\\Juego Letrazul\\letrazul.exe\"   abc", L"abc"},
      {L"letrazul.exe", L""},
      {L"letrazul.exe  -x  y ", L"-x  y "},
      {L"\"C:\\sin cierre\\letrazul.exe abc", L""},  // no closing quote: all of it is the name
      {L"\"\"abc", L"abc"},
      {L"  abc", L"abc"},                // a line starting with a blank has an empty name
      {L"letrazul.exe\tabc", L"\tabc"},  // a control character ends the name; only blanks are skipped
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(std::wstring(argumentText(c.line)), c.arguments) << c.line;
}

}  // namespace
}  // namespace runtime

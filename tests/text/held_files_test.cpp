// The web page's files: the word list it holds is opened and read by the text-file service as a
// file on disk is, missing and unreadable lists fail as the system's would, and a list held anew
// while one is open does not change what the open one reads.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "runtime/text/error_code.h"
#include "runtime/text/held_files.h"
#include "runtime/text/text_file.h"

namespace runtime {
namespace {

constexpr int16_t list = 1;

std::vector<std::string> readAll() {
  std::vector<std::string> lines;
  while (atEnd(list) == 0) lines.emplace_back(readLine(list).view());
  return lines;
}

void open() {
  errorCode = 0;
  openForInput(u"dic.txt", list, 64 * 1024, LineEnds::anyNewline);
}

TEST(HeldFiles, AHeldListReadsAsAFileOnDisk) {
  const std::string longLine(70000, 'a');  // more than a block
  struct Case {
    const char* what;
    bool held;
    std::optional<std::string> bytes;
    int32_t openError;
    std::vector<std::string> lines;
  } cases[] = {
      {"not there", false, std::nullopt, error::fileNotFound, {}},
      {"there but unreadable", true, std::nullopt, 70, {}},
      {"empty", true, "", 0, {}},
      {"any line ends", true, "sol\r\nlos\nsolo", 0, {"sol", "los", "solo"}},
      {"a line longer than a block", true, longLine + "\r\nb\r\n", 0, {longLine, "b"}},
  };
  for (const auto& c : cases) {
    if (c.held)
      files::holdFile("dic.txt", c.bytes);
    else
      files::dropFile("dic.txt");
    open();
    EXPECT_EQ(errorCode, c.openError) << c.what;
    EXPECT_EQ(isOpen(list), c.openError == 0) << c.what;
    if (isOpen(list)) {
      EXPECT_EQ(readAll(), c.lines) << c.what;
    }
    closeFile(list);
  }
  files::dropFile("dic.txt");
}

TEST(HeldFiles, AnOpenListReadsWhatWasHeldWhenItWasOpened) {
  files::holdFile("dic.txt", "uno\ndos\n");
  open();
  ASSERT_TRUE(isOpen(list));
  EXPECT_EQ(readLine(list).view(), "uno");
  files::holdFile("dic.txt", "tres\n");
  EXPECT_EQ(readLine(list).view(), "dos");
  closeFile(list);
  open();
  EXPECT_EQ(readAll(), std::vector<std::string>{"tres"});
  closeFile(list);
  files::dropFile("dic.txt");
}

}  // namespace
}  // namespace runtime

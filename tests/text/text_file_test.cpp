// Reading text files line by line: line ends, block boundaries, Ctrl-Z, and every failure path.
#include "runtime/text/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/text/error_code.h"
#include "tests/support/failing_call.h"
#include "tests/support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <fstream>
#include <thread>
#endif

namespace runtime {

namespace {

using namespace std::string_literals;
using test_support::TempFolder;

constexpr int16_t fileNumber = 1;

// Every line readLine gives before atEnd reports the end.
std::vector<std::string> readAll(int16_t number) {
  std::vector<std::string> lines;
  while (!atEnd(number)) lines.emplace_back(readLine(number).view());
  return lines;
}

class TextFileTest : public testing::Test {
 protected:
  void TearDown() override {
    closeFile(1);
    closeFile(2);
    EXPECT_EQ(openFileCount(), 0);
  }
  TempFolder folder;
};

TEST_F(TextFileTest, SplitsLinesAsTheGameReadsThemWhateverTheBlockSize) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> lines;
    LineEnds ends = LineEnds::carriageReturn;
  } cases[] = {
      {"no final line end", "uno\r\ndos", {"uno", "dos"}},
      {"CR LF LF", "uno\r\n\ndos", {"uno", "\ndos"}},
      {"lone CR", "uno\rdos\r", {"uno", "dos"}},
      {"empty lines count", "a\r\n\r\ncasa\r\n", {"a", "", "casa"}},
      {"LF only", "uno\ndos\n", {"uno\ndos\n"}},
      {"NUL inside", "ab\0cd\r\nx"s, {"ab\0cd"s, "x"}},
      {"Ctrl-Z ends the data",
       "uno\r\n\x1A"
       "dos\r\n",
       {"uno"}},
      {"Ctrl-Z first", "\x1Auno", {}},
      {"zero bytes", "", {}},
      {"byte-order mark is data", "\xEF\xBB\xBFuno\r\n", {"\xEF\xBB\xBFuno"}},
      {"CR ends a block, LF starts the next",
       std::string(127, 'x') + "\r\ndos",
       {std::string(127, 'x'), "dos"}},
      {"CR is the last byte of the file", "uno\r", {"uno"}},
      {"lines longer than a piece",
       std::string(256, 'a') + "\r\n" + std::string(257, 'b') + "\r\n" + std::string(10000, 'c'),
       {std::string(256, 'a'), std::string(257, 'b'), std::string(10000, 'c')}},
      {"LF alone ends a line too", "uno\ndos\n", {"uno", "dos"}, LineEnds::anyNewline},
      {"CR LF is still one end", "uno\r\ndos\r\n", {"uno", "dos"}, LineEnds::anyNewline},
      {"LF CR is two", "a\n\rb\rc", {"a", "", "b", "c"}, LineEnds::anyNewline},
      {"LF ends a block",
       std::string(127, 'x') + "\ndos",
       {std::string(127, 'x'), "dos"},
       LineEnds::anyNewline},
  };
  for (const auto& c : cases) {
    const ByteString name = folder.write("lines.txt", c.bytes);
    for (int32_t block : {128, 1, 2, 3, 255, 4096}) {
      errorCode = 0;
      openForInput(name, fileNumber, block, c.ends);
      ASSERT_TRUE(isOpen(fileNumber)) << c.what;
      // The same lines read into a small buffer, each cut to fit it.
      std::vector<std::string> starts;
      for (const auto& line : c.lines) starts.push_back(line.substr(0, 4));
      std::vector<std::string> read;
      char start[4];
      while (!atEnd(fileNumber)) read.emplace_back(start, readLineInto(fileNumber, start, 4));
      EXPECT_EQ(read, starts) << c.what << ", block " << block;
      closeFile(fileNumber);
      openForInput(name, fileNumber, block, c.ends);
      EXPECT_EQ(readAll(fileNumber), c.lines) << c.what << ", block " << block;
      EXPECT_EQ(errorCode, 0) << c.what << ", block " << block;
      // Past the end: empty with error 62, and the end stays the end.
      EXPECT_TRUE(readLine(fileNumber).empty());
      EXPECT_EQ(errorCode, error::inputPastEnd) << c.what;
      EXPECT_EQ(atEnd(fileNumber), -1);
      EXPECT_FALSE(hadReadError(fileNumber)) << c.what << ": an error recorded is no failed read";
      closeFile(fileNumber);
    }
  }
}

TEST_F(TextFileTest, AnEmptyLineEndedByCarriageReturnIsNoError) {
  openForInput(folder.write("blank.txt", "\r\n"), fileNumber, 128);
  errorCode = 0;
  EXPECT_TRUE(readLine(fileNumber).empty());
  EXPECT_EQ(errorCode, 0);
  EXPECT_EQ(atEnd(fileNumber), -1);
}

TEST_F(TextFileTest, AFailedReadLeavesItsOwnErrorAndNotInputPastEnd) {
  openForInput(folder.write("one.txt", "sol\r\n"), fileNumber, 128);
  {
    const test_support::FailingCall failing(SystemCall::fileRead);
    EXPECT_EQ(readLine(fileNumber).view(), "sol");  // already in the block read at open
    errorCode = 0;
    EXPECT_TRUE(readLine(fileNumber).empty());
  }
  EXPECT_NE(errorCode, 0);
  EXPECT_NE(errorCode, error::inputPastEnd);
  errorCode = 0;
  EXPECT_TRUE(hadReadError(fileNumber)) << "whatever errorCode says since";
}

TEST_F(TextFileTest, RefusesBadArgumentsAtOpen) {
  const ByteString existing = folder.write("dic.txt", "uno\r\n");
  std::filesystem::create_directory(folder.path() / "carpeta");
  struct Case {
    const char* what;
    ByteString name;
    int16_t number;
    int32_t block;
    int32_t error;
  };
  std::vector<Case> cases = {
      {"empty name", ByteString(), 1, 128, error::badFileName},
      {"star", folder.file("*.txt"), 1, 128, error::badFileName},
      {"question mark", folder.file("dic.tx?"), 1, 128, error::badFileName},
      {"negative number", existing, -1, 128, error::badFileNumber},
      {"block of 0", existing, 1, 0, error::illegalCall},
      {"missing file", folder.file("nada.txt"), 1, 128, 53},
      {"missing folder", folder.file("nada\\dic.txt"), 1, 128, 76},
      {"folder", folder.file("carpeta"), 1, 128, 70},
      {"a file as a folder", folder.file("dic.txt\\uno.txt"), 1, 128, 76},
  };
#ifndef _WIN32
  cases[6].name = folder.file("nada/dic.txt");
  cases[8].name = folder.file("dic.txt/uno.txt");
#endif
  // A 32-bit process, as the shipped one is, cannot have a block of 2 GB; a 64-bit one may get it.
  if constexpr (sizeof(void*) == 4)
    cases.push_back({"block too large to allocate", existing, 1, INT32_MAX, error::outOfMemory});
  for (const auto& c : cases) {
    errorCode = 0;
    openForInput(c.name, c.number, c.block);
    EXPECT_EQ(errorCode, c.error) << c.what;
    EXPECT_FALSE(isOpen(c.number)) << c.what;
    EXPECT_EQ(openFileCount(), 0) << c.what;
  }
}

TEST_F(TextFileTest, ANumberAlreadyOpenIsRefusedAndTheOldFileReadsOn) {
  openForInput(folder.write("a.txt", "uno\r\ndos\r\n"), fileNumber, 128);
  EXPECT_EQ(readLine(fileNumber).view(), "uno");
  openForInput(folder.write("b.txt", "otro\r\n"), fileNumber, 128);
  EXPECT_EQ(errorCode, error::fileAlreadyOpen);
  EXPECT_EQ(readLine(fileNumber).view(), "dos");
  EXPECT_EQ(openFileCount(), 1);
}

TEST_F(TextFileTest, NumbersThatAreNotOpen) {
  errorCode = 0;
  closeFile(7);
  EXPECT_EQ(errorCode, 0);
  EXPECT_TRUE(readLine(7).empty());
  EXPECT_EQ(errorCode, error::badFileNumber);
  EXPECT_EQ(atEnd(7), -1);
  EXPECT_EQ(errorCode, error::fileNotFound);
}

TEST_F(TextFileTest, TwoNumbersReadTwoFilesIndependently) {
  openForInput(folder.write("a.txt", "a1\r\na2\r\n"), 1, 128);
  openForInput(folder.write("b.txt", "b1\r\nb2\r\n"), 2, 3);
  EXPECT_EQ(readLine(2).view(), "b1");
  EXPECT_EQ(readLine(1).view(), "a1");
  closeFile(2);
  EXPECT_EQ(readLine(1).view(), "a2");
  EXPECT_FALSE(isOpen(2));
}

TEST_F(TextFileTest, IsFolderTellsFoldersFromFilesAndNothing) {
  folder.write("dic.txt", "");
  std::filesystem::create_directory(folder.path() / "carpeta");
  EXPECT_FALSE(isFolder((folder.path() / "dic.txt").u16string()));
  EXPECT_TRUE(isFolder((folder.path() / "carpeta").u16string()));
  EXPECT_FALSE(isFolder((folder.path() / "nada.txt").u16string()));
}

// Folders the ANSI code page cannot spell, or longer than a Windows path may be, are still reached
// through their UTF-16 names.
TEST_F(TextFileTest, UnicodeNamesReachFoldersOfAnyNameAndLength) {
  // Two, three and four bytes a character in UTF-8, as Linux names them.
  const std::filesystem::path polish = folder.path() / u"Łukasz Ñandú 日本 🎲";
  std::filesystem::path deep = folder.path();
  while (deep.u16string().size() < 300) deep /= std::string(40, 'p');
  for (const auto& place : {polish, deep}) {
    SCOPED_TRACE(place.string().size());
    std::filesystem::create_directories(place);
    { std::ofstream(place / "dic.txt", std::ios::binary) << "sol\r\nmar\r\n"; }
    const std::u16string name = (place / "dic.txt").u16string();
    EXPECT_TRUE(isFolder(place.u16string()));
    errorCode = 0;
    openForInput(name, fileNumber, 128);
    ASSERT_TRUE(isOpen(fileNumber));
    EXPECT_EQ(readLine(fileNumber).view(), "sol");
    EXPECT_EQ(readLine(fileNumber).view(), "mar");
    EXPECT_EQ(errorCode, 0);
    closeFile(fileNumber);
  }
  openForInput(std::u16string(u"dic*.txt"), fileNumber, 128);
  EXPECT_EQ(errorCode, error::badFileName);
  EXPECT_FALSE(isOpen(fileNumber));
}

#ifdef _WIN32
TEST_F(TextFileTest, OtherReadersMayReadTheFileMeanwhileButNoWriter) {
  const ByteString name = folder.write("dic.txt", "uno\r\n");
  openForInput(name, 1, 128);
  openForInput(name, 2, 128);
  ASSERT_TRUE(isOpen(2)) << "two readers at once, as a classroom's PCs on one network folder";
  EXPECT_EQ(readLine(2).view(), "uno");
  closeFile(1);
  closeFile(2);
  struct Case {
    const char* what;
    DWORD access, share;
    bool readable;
  } cases[] = {
      {"a reader that shares", GENERIC_READ, FILE_SHARE_READ, true},
      {"a reader that shares nothing", GENERIC_READ, 0, false},
      {"a writer", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
  };
  for (const auto& c : cases) {
    HANDLE other = CreateFileA(name.data(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE) << c.what;
    errorCode = 0;
    openForInput(name, 1, 128);
    EXPECT_EQ(isOpen(1), c.readable) << c.what;
    EXPECT_EQ(errorCode, c.readable ? 0 : 70) << c.what;  // 70: the sharing violation
    closeFile(1);
    CloseHandle(other);
  }
}
#else
TEST_F(TextFileTest, APipeIsReadOneByteAtATimeWithoutLookingPastCarriageReturn) {
  const std::filesystem::path pipe = folder.path() / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(pipe, std::ios::binary) << "uno\r\ndos\r\x1A"; });
  openForInput(ByteString(pipe.string()), fileNumber, 128);
  writer.join();
  ASSERT_TRUE(isOpen(fileNumber));
  // Without the look-ahead, the LF after a CR begins the next line.
  EXPECT_EQ(readAll(fileNumber), (std::vector<std::string>{"uno", "\ndos"}));
}
#endif

}  // namespace
}  // namespace runtime

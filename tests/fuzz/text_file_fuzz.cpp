// Arbitrary file bytes read with an arbitrary block size, either kind of line end and an arbitrary
// sequence of readLine, readLineInto and atEnd, each answer checked against the file's lines split
// apart from the reader.
// Input: [block size, and in its top bit LF ending lines] [count n] [n operation bytes] [the file].
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/text/error_code.h"
#include "runtime/text/text_file.h"

namespace {

const std::string& FileName() {
  static const std::string name = "/tmp/letrazul-fuzz-" + std::to_string(getpid()) + ".txt";
  return name;
}

// The data ends at the first Ctrl-Z; a CR, with an LF right after it, ends a line, and so does an
// LF alone where it ends lines; the last line needs no end.
std::vector<std::string> LinesOf(std::string bytes, bool lineFeedEnds) {
  bytes.resize(std::min(bytes.find('\x1A'), bytes.size()));
  std::vector<std::string> lines;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = std::min(bytes.find_first_of(lineFeedEnds ? "\r\n" : "\r", start), bytes.size());
    lines.push_back(bytes.substr(start, end - start));
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t blockSize = 1 + (data[0] & 0x7F);
  const auto ends = data[0] & 0x80 ? runtime::LineEnds::anyNewline : runtime::LineEnds::carriageReturn;
  const size_t operations = std::min<size_t>(data[1], size - 2);
  const uint8_t* steps = data + 2;
  const std::string bytes(reinterpret_cast<const char*>(steps + operations), size - 2 - operations);
  {
    std::ofstream file(FileName(), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const std::vector<std::string> lines = LinesOf(bytes, ends == runtime::LineEnds::anyNewline);
  size_t next = 0;  // the line the next read must give
  auto nextLine = [&] { return next < lines.size() ? lines[next++] : std::string(); };
  runtime::openForInput(runtime::ByteString(FileName()), 1, blockSize, ends);
  if (!runtime::isOpen(1)) abort();
  for (size_t i = 0; i < operations; ++i) {
    switch (steps[i] % 3) {
      case 0: {
        runtime::errorCode = 0;
        const bool past = next >= lines.size();
        const runtime::ByteString line = runtime::readLine(1);
        if (line.view() != nextLine()) abort();
        if (past != (runtime::errorCode == runtime::error::inputPastEnd)) abort();
        break;
      }
      case 1: {
        // The start of the next line, no longer than the buffer, however long the line.
        char start[8];
        const int32_t capacity = steps[i] / 3 % 9;
        const int32_t kept = runtime::readLineInto(1, start, capacity);
        if (kept < 0 || kept > capacity ||
            std::string(start, static_cast<size_t>(kept)) != nextLine().substr(0, capacity))
          abort();
        break;
      }
      default:
        if ((runtime::atEnd(1) == -1) != (next >= lines.size())) abort();
        break;
    }
  }
  runtime::closeFile(1);
  if (runtime::openFileCount() != 0) abort();
  return 0;
}

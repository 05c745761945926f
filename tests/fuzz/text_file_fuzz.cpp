// Arbitrary file bytes read with an arbitrary block size, either kind of line end and an arbitrary
// sequence of readLine, readLineInto and atEnd.
// Input: [block size, and in its top bit LF ending lines] [count n] [n operation bytes] [the file].
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "runtime/text/error_code.h"
#include "runtime/text/text_file.h"

namespace {

const std::string& FileName() {
  static const std::string name = "/tmp/letrazul-fuzz-" + std::to_string(getpid()) + ".txt";
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t blockSize = 1 + (data[0] & 0x7F);
  const auto ends = data[0] & 0x80 ? runtime::LineEnds::anyNewline : runtime::LineEnds::carriageReturn;
  const size_t operations = std::min<size_t>(data[1], size - 2);
  const uint8_t* steps = data + 2;
  {
    std::ofstream file(FileName(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(steps + operations),
               static_cast<std::streamsize>(size - 2 - operations));
  }
  runtime::openForInput(runtime::ByteString(FileName()), 1, blockSize, ends);
  if (!runtime::isOpen(1)) abort();
  bool ended = false;
  for (size_t i = 0; i < operations; ++i) {
    switch (steps[i] % 3) {
      case 0: {
        runtime::errorCode = 0;
        const runtime::ByteString line = runtime::readLine(1);
        // A line never holds its own end, nor anything after a Ctrl-Z.
        if (std::memchr(line.data(), '\r', static_cast<size_t>(line.size()))) abort();
        if (std::memchr(line.data(), 0x1A, static_cast<size_t>(line.size()))) abort();
        if (ends == runtime::LineEnds::anyNewline &&
            std::memchr(line.data(), '\n', static_cast<size_t>(line.size())))
          abort();
        if (ended && (!line.empty() || runtime::errorCode == 0)) abort();  // nothing is left past the end
        break;
      }
      case 1: {
        // The start of the next line, no longer than the buffer, however long the line.
        char start[8];
        const int32_t capacity = steps[i] / 3 % 9;
        if (runtime::readLineInto(1, start, capacity) > capacity) abort();
        break;
      }
      default:
        ended = runtime::atEnd(1) == -1;
        break;
    }
  }
  runtime::closeFile(1);
  if (runtime::openFileCount() != 0) abort();
  return 0;
}

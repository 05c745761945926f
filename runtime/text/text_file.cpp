// The open-file list and the buffered line reader, independent of the platform's file calls.
#include "runtime/text/text_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "runtime/start/spin_lock.h"
#include "runtime/text/error_code.h"
#include "runtime/text/file_system.h"
#include "runtime/text/string_ops.h"

namespace runtime {

namespace {

constexpr char carriageReturn = 0x0D;
constexpr char lineFeed = 0x0A;
constexpr char endOfData = 0x1A;  // Ctrl-Z
constexpr int32_t pieceSize = 256;

struct TextFile {
  int16_t fileNumber = 0;
  files::OwnedFile handle;
  bool buffered = true;        // disk files; anything else is read one byte at a time
  bool lineFeedEnds = false;   // an LF alone ends a line too
  std::vector<char> buffer;    // the last block read
  int32_t count = 0;           // bytes in the buffer
  int32_t next = 0;            // position of the next unread byte in the buffer
  int64_t origin = 0;          // file offset of the buffer's first byte
  bool readFailed = false;     // the last read failed, and its error stands recorded
  bool anyReadFailed = false;  // a read has failed since the file was opened
};

SpinLock listLock;
SpinLock openLock;
std::vector<std::unique_ptr<TextFile>> openFiles;

TextFile* findFile(int16_t fileNumber) {
  std::lock_guard guard(listLock);
  for (auto& file : openFiles)
    if (file->fileNumber == fileNumber) return file.get();
  return nullptr;
}

void recordSystemError(uint32_t systemError) {
  if (systemError != 0) recordError(errorFromSystem(systemError));
}

// Reads the next block (or byte) once the buffer is used up; false at the physical end. A failed
// read records its error and counts as the end.
bool refill(TextFile& file) {
  int32_t read = 0;
  uint32_t error;
  if (file.buffered) {
    file.origin += file.count;
    error = files::readAt(file.handle.get(), file.origin, file.buffer.data(),
                          static_cast<int32_t>(file.buffer.size()), read);
  } else {
    error = files::readNext(file.handle.get(), file.buffer.data(), 1, read);
  }
  recordSystemError(error);
  file.readFailed = error != 0;
  file.anyReadFailed = file.anyReadFailed || file.readFailed;
  file.count = read;
  file.next = 0;
  return read > 0;
}

// The next unread byte, or -1 at the physical end.
int peekByte(TextFile& file) {
  if (file.next >= file.count && !refill(file)) return -1;
  return static_cast<unsigned char>(file.buffer[static_cast<size_t>(file.next)]);
}

// The position of the first CR, Ctrl-Z or, where it ends lines, LF in block[from, count), or count
// when there is none. One pass, byte by byte: a search for each byte apart would run to the end of
// the block, for every line, for a byte the file never holds.
int32_t lineStop(const char* block, int32_t from, int32_t count, bool lineFeedEnds) {
  int32_t at = from;
  while (at < count) {
    const char byte = block[at];
    if (byte == carriageReturn || byte == endOfData || (byte == lineFeed && lineFeedEnds)) break;
    ++at;
  }
  return at;
}

// Walks over the next line, handing each run of its bytes to `take` as it passes. The CR that ends
// the line is consumed, with an LF right after it; a Ctrl-Z is not, so the data ends there for every
// later call. When nothing at all was left, records error 62, unless a failed read ended the line:
// its own error then stands.
template <typename Take>
void walkLine(TextFile& file, Take&& take) {
  bool sawByte = false;
  while (file.next < file.count || refill(file)) {
    const char* block = file.buffer.data();
    const int32_t stop = lineStop(block, file.next, file.count, file.lineFeedEnds);
    if (stop > file.next) {
      take(block + file.next, stop - file.next);
      sawByte = true;
    }
    file.next = stop;
    if (stop == file.count) continue;
    if (block[stop] == endOfData) break;
    ++file.next;
    // A byte-at-a-time file does not look ahead, so there the LF begins the next line.
    if (block[stop] == carriageReturn && file.buffered && peekByte(file) == lineFeed) ++file.next;
    return;
  }
  if (!sawByte && !file.readFailed) recordError(error::inputPastEnd);
}

}  // namespace

namespace {

bool badName(const ByteString& name) {
  return name.empty() || find(name, ByteString("*"), 1) != 0 || find(name, ByteString("?"), 1) != 0;
}

bool badName(const std::u16string& name) {
  return name.empty() || name.find_first_of(u"*?") != std::u16string::npos;
}

// A block of `size` bytes; false when the process cannot have one, as a 32-bit process cannot have
// 2 GB, so that a request too large is an error and not the end of the program.
bool allocateBuffer(std::vector<char>& buffer, int32_t size) {
  try {
    buffer.resize(static_cast<size_t>(size));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

template <typename Name>
void openNamed(const Name& name, int16_t fileNumber, int32_t bufferSize, LineEnds ends) {
  std::lock_guard opening(openLock);
  if (badName(name)) {
    recordError(error::badFileName);
    return;
  }
  if (fileNumber < 0) {
    recordError(error::badFileNumber);
    return;
  }
  if (bufferSize < 1) {
    recordError(error::illegalCall);
    return;
  }
  if (findFile(fileNumber)) {
    recordError(error::fileAlreadyOpen);
    return;
  }
  auto file = std::make_unique<TextFile>();
  if (const uint32_t error = files::openForReading(name, file->handle)) {
    recordSystemError(error);
    return;
  }
  file->fileNumber = fileNumber;
  file->lineFeedEnds = ends == LineEnds::anyNewline;
  file->buffered = files::isDiskFile(file->handle.get());
  if (!allocateBuffer(file->buffer, file->buffered ? bufferSize : 1)) {
    recordError(error::outOfMemory);
    return;  // the file closes with its record
  }
  if (file->buffered) {
    int32_t read = 0;
    const uint32_t error = files::readAt(file->handle.get(), 0, file->buffer.data(), bufferSize, read);
    recordSystemError(error);
    file->anyReadFailed = error != 0;
    file->count = read;
  }
  std::lock_guard guard(listLock);
  openFiles.insert(openFiles.begin(), std::move(file));
}

}  // namespace

void openForInput(const ByteString& name, int16_t fileNumber, int32_t bufferSize, LineEnds ends) {
  openNamed(name, fileNumber, bufferSize, ends);
}

void openForInput(const std::u16string& name, int16_t fileNumber, int32_t bufferSize, LineEnds ends) {
  openNamed(name, fileNumber, bufferSize, ends);
}

ByteString readLine(int16_t fileNumber) {
  TextFile* file = findFile(fileNumber);
  if (!file) {
    recordError(error::badFileNumber);
    return {};
  }
  ByteString line;
  char piece[pieceSize];
  int32_t collected = 0;
  auto flushPiece = [&] {
    if (collected == 0) return;
    // Most lines fit in one piece, and then the piece is the line.
    line = line.empty() ? ByteString(piece, collected) : concat(line, ByteString(piece, collected));
    collected = 0;
  };
  walkLine(*file, [&](const char* bytes, int32_t count) {
    while (count > 0) {
      const int32_t run = std::min(count, pieceSize - collected);
      std::memcpy(piece + collected, bytes, static_cast<size_t>(run));
      collected += run;
      bytes += run;
      count -= run;
      if (collected == pieceSize) flushPiece();
    }
  });
  flushPiece();
  return line;
}

int32_t readLineInto(int16_t fileNumber, char* bytes, int32_t capacity) {
  TextFile* file = findFile(fileNumber);
  if (!file) {
    recordError(error::badFileNumber);
    return 0;
  }
  int32_t kept = 0;
  walkLine(*file, [&](const char* run, int32_t count) {
    const int32_t taken = std::min(count, capacity - kept);
    if (taken <= 0) return;
    std::memcpy(bytes + kept, run, static_cast<size_t>(taken));
    kept += taken;
  });
  return kept;
}

int32_t atEnd(int16_t fileNumber) {
  TextFile* file = findFile(fileNumber);
  if (!file) {
    recordError(error::fileNotFound);
    return -1;
  }
  const int byte = peekByte(*file);
  return byte < 0 || byte == endOfData ? -1 : 0;
}

void closeFile(int16_t fileNumber) {
  std::unique_ptr<TextFile> closing;
  {
    std::lock_guard guard(listLock);
    auto it = std::find_if(openFiles.begin(), openFiles.end(),
                           [&](const auto& file) { return file->fileNumber == fileNumber; });
    if (it == openFiles.end()) return;
    closing = std::move(*it);
    openFiles.erase(it);
  }
  // The handle is closed here, outside the list lock.
}

void closeAllFiles() {
  std::vector<std::unique_ptr<TextFile>> closing;
  {
    std::lock_guard guard(listLock);
    closing.swap(openFiles);
  }
}

bool isOpen(int16_t fileNumber) {
  return findFile(fileNumber) != nullptr;
}

bool hadReadError(int16_t fileNumber) {
  const TextFile* file = findFile(fileNumber);
  return file && file->anyReadFailed;
}

bool isFolder(const std::u16string& name) {
  return files::isFolder(name);
}

int32_t openFileCount() {
  std::lock_guard guard(listLock);
  return static_cast<int32_t>(openFiles.size());
}

}  // namespace runtime

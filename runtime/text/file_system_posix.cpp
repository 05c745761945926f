// The text-file service's file calls for the native build, with errno turned into the Windows
// system error codes the shared error table expects.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "runtime/start/failing_calls.h"
#include "runtime/text/file_system.h"

namespace runtime::files {

namespace {

uint32_t systemErrorFor(int errnoValue) {
  switch (errnoValue) {
    case ENOENT:
      return 2;  // file not found
    case ENOTDIR:
      return 3;  // path not found
    case EMFILE:
    case ENFILE:
      return 4;  // too many open files
    case EACCES:
    case EPERM:
    case EISDIR:  // Windows refuses to open a folder as a file with "access denied"
      return 5;
    case EBADF:
      return 6;
    case ENOMEM:
      return 8;
    case EINVAL:
      return 87;
    case ENOSPC:
      return 112;
    default:
      return 1;
  }
}

std::string fileName(const ByteString& name) {
  return std::string(name.data(), static_cast<size_t>(std::min<int32_t>(name.size(), 255)));
}

// UTF-8, as this system's file names are; an unpaired surrogate becomes U+FFFD.
std::string fileName(const std::u16string& name) {
  std::string bytes;
  for (size_t i = 0; i < name.size(); ++i) {
    uint32_t c = name[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
    else if (c >= 0xD800 && c <= 0xDFFF)
      c = 0xFFFD;
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | c >> 6);
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | c >> 12);
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | c >> 18);
      bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return bytes;
}

uint32_t openNamed(const std::string& path, OwnedFile& file) {
  if (callFails(SystemCall::fileOpen)) return systemErrorFor(EIO);
  OwnedFile opened(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!opened) {
    const int failure = errno;
    // Windows tells a missing folder (path not found) from a missing file in an existing one.
    const size_t slash = path.find_last_of('/');
    struct stat folder {};
    if (failure == ENOENT && slash != std::string::npos && slash > 0 &&
        ::stat(path.substr(0, slash).c_str(), &folder) != 0)
      return 3;
    return systemErrorFor(failure);
  }
  struct stat info {};
  if (::fstat(static_cast<int>(opened.get()), &info) != 0) return systemErrorFor(errno);
  if (S_ISDIR(info.st_mode)) return systemErrorFor(EISDIR);
  file = std::move(opened);
  return 0;
}

int descriptor(NativeHandle handle) {
  return static_cast<int>(handle);
}

}  // namespace

void closeHandle(NativeHandle handle) noexcept {
  ::close(descriptor(handle));
}

uint32_t openForReading(const ByteString& name, OwnedFile& file) {
  return openNamed(fileName(name), file);
}

uint32_t openForReading(const std::u16string& name, OwnedFile& file) {
  return openNamed(fileName(name), file);
}

bool isDiskFile(NativeHandle handle) {
  struct stat info {};
  return ::fstat(descriptor(handle), &info) == 0 && S_ISREG(info.st_mode);
}

namespace {

// A read the fault seam turns down, reported as a disk error would be.
uint32_t failedRead(int32_t& bytesRead) {
  bytesRead = 0;
  return systemErrorFor(EIO);
}

}  // namespace

uint32_t readAt(NativeHandle handle, int64_t offset, char* buffer, int32_t size, int32_t& bytesRead) {
  if (callFails(SystemCall::fileRead)) return failedRead(bytesRead);
  const ssize_t count = ::pread(descriptor(handle), buffer, static_cast<size_t>(size), offset);
  bytesRead = count > 0 ? static_cast<int32_t>(count) : 0;
  return count < 0 ? systemErrorFor(errno) : 0;
}

uint32_t readNext(NativeHandle handle, char* buffer, int32_t size, int32_t& bytesRead) {
  if (callFails(SystemCall::fileRead)) return failedRead(bytesRead);
  ssize_t count;
  do count = ::read(descriptor(handle), buffer, static_cast<size_t>(size));
  while (count < 0 && errno == EINTR);
  bytesRead = count > 0 ? static_cast<int32_t>(count) : 0;
  return count < 0 ? systemErrorFor(errno) : 0;
}

bool isFolder(const std::u16string& name) {
  if (callFails(SystemCall::fileFind)) return false;
  struct stat info {};
  return ::stat(fileName(name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace runtime::files

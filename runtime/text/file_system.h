// The few file-system calls the text-file service makes, each through one guarded path, so that a
// failure comes back as a Windows system error code (0 for success) and never as a dialog.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/text/byte_string.h"

namespace runtime::files {

// A Windows HANDLE or a POSIX descriptor; -1 means none on both.
using NativeHandle = intptr_t;
inline constexpr NativeHandle noHandle = -1;

void closeHandle(NativeHandle handle) noexcept;

// Owns one open file and closes it on every way out.
class OwnedFile {
 public:
  OwnedFile() = default;
  explicit OwnedFile(NativeHandle handle) : handle_(handle) {}
  OwnedFile(OwnedFile&& other) noexcept : handle_(other.release()) {}
  OwnedFile& operator=(OwnedFile&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  ~OwnedFile() { reset(noHandle); }

  NativeHandle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != noHandle; }
  NativeHandle release() noexcept {
    const NativeHandle handle = handle_;
    handle_ = noHandle;
    return handle;
  }
  void reset(NativeHandle handle) noexcept {
    if (handle_ != noHandle) closeHandle(handle_);
    handle_ = handle;
  }

 private:
  NativeHandle handle_ = noHandle;
};

// Opens an existing file for reading, sharing it with other readers but no writer, so that a
// classroom's PCs can read one list on a network folder at once. Only the first 255 characters of
// the name are used.
uint32_t openForReading(const ByteString& name, OwnedFile& file);

// The same for a UTF-16 name, used whole: any length and any character the file system allows, as
// the system names the program's own folder.
uint32_t openForReading(const std::u16string& name, OwnedFile& file);

// Disk files are read in blocks; pipes and devices one byte at a time.
bool isDiskFile(NativeHandle handle);

// Positions the file at `offset` and reads up to `size` bytes.
uint32_t readAt(NativeHandle handle, int64_t offset, char* buffer, int32_t size, int32_t& bytesRead);

// Reads up to `size` bytes from wherever the file stands.
uint32_t readNext(NativeHandle handle, char* buffer, int32_t size, int32_t& bytesRead);

// Whether the system says `name` is a folder; asks nothing of any file's contents.
bool isFolder(const std::u16string& name);

}  // namespace runtime::files

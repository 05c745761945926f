// The text-file service's file calls in the page, which has no file system: the files are the ones
// the page holds, by name, as bytes it fetched from its server or read from a file the player
// chose. An open file reads the bytes held when it was opened, as a Windows reader sees a file
// that nobody may write while it is open.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "runtime/start/failing_calls.h"
#include "runtime/text/ansi_text.h"
#include "runtime/text/file_system.h"
#include "runtime/text/held_files.h"

namespace runtime::files {

namespace {

constexpr uint32_t fileNotFound = 2;
constexpr uint32_t accessDenied = 5;
constexpr uint32_t invalidHandle = 6;

struct OpenFile {
  std::shared_ptr<const std::string> bytes;
  int64_t position = 0;
};

// By name; a null entry is a file that is there but cannot be read.
std::map<std::string, std::shared_ptr<const std::string>> heldFiles;

std::map<NativeHandle, OpenFile> openFiles;
NativeHandle lastHandle = 2;

std::string utf8Name(const std::u16string& name) {
  std::string bytes;
  for (char16_t c : name) appendUtf8(bytes, c);
  return bytes;
}

uint32_t openNamed(const std::string& name, OwnedFile& file) {
  if (callFails(SystemCall::fileOpen)) return accessDenied;
  const auto held = heldFiles.find(name);
  if (held == heldFiles.end()) return fileNotFound;
  if (!held->second) return accessDenied;
  const NativeHandle handle = ++lastHandle;
  openFiles[handle] = OpenFile{held->second, 0};
  file.reset(handle);
  return 0;
}

uint32_t readFrom(NativeHandle handle, int64_t offset, char* buffer, int32_t size, int32_t& bytesRead) {
  bytesRead = 0;
  if (callFails(SystemCall::fileRead)) return accessDenied;
  const auto open = openFiles.find(handle);
  if (open == openFiles.end()) return invalidHandle;
  const std::string& bytes = *open->second.bytes;
  const int64_t start = std::clamp<int64_t>(offset, 0, static_cast<int64_t>(bytes.size()));
  const int64_t count = std::min<int64_t>(size, static_cast<int64_t>(bytes.size()) - start);
  if (count > 0) std::memcpy(buffer, bytes.data() + start, static_cast<size_t>(count));
  bytesRead = static_cast<int32_t>(std::max<int64_t>(count, 0));
  open->second.position = start + bytesRead;
  return 0;
}

}  // namespace

void closeHandle(NativeHandle handle) noexcept {
  openFiles.erase(handle);
}

uint32_t openForReading(const ByteString& name, OwnedFile& file) {
  return openNamed(std::string(name.view().substr(0, 255)), file);
}

uint32_t openForReading(const std::u16string& name, OwnedFile& file) {
  return openNamed(utf8Name(name), file);
}

bool isDiskFile(NativeHandle handle) {
  return openFiles.contains(handle);
}

uint32_t readAt(NativeHandle handle, int64_t offset, char* buffer, int32_t size, int32_t& bytesRead) {
  return readFrom(handle, offset, buffer, size, bytesRead);
}

uint32_t readNext(NativeHandle handle, char* buffer, int32_t size, int32_t& bytesRead) {
  const auto open = openFiles.find(handle);
  return readFrom(handle, open == openFiles.end() ? 0 : open->second.position, buffer, size, bytesRead);
}

bool isFolder(const std::u16string&) {
  return false;
}

void holdFile(const std::string& name, std::optional<std::string> bytes) {
  heldFiles[name] = bytes ? std::make_shared<const std::string>(std::move(*bytes)) : nullptr;
}

void dropFile(const std::string& name) {
  heldFiles.erase(name);
}

}  // namespace runtime::files

// The text-file service's file calls on Windows, each made through the guarded path.
#include <windows.h>

#include <string>

#include "runtime/start/guarded_call.h"
#include "runtime/start/system_calls.h"
#include "runtime/text/file_system.h"
#include "runtime/text/wide_text.h"

namespace runtime::files {

namespace {

HANDLE toHandle(NativeHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

std::wstring fileName(const ByteString& name) {
  const WideText wide = WideText::ofSystemText(name);
  return std::wstring(wide.c_str(), static_cast<size_t>(std::min<int32_t>(wide.size(), 255)));
}

// Whole, and in the extended form past MAX_PATH, where the plain form no longer reaches a file.
std::wstring fileName(const std::u16string& name) {
  std::wstring wide(name.begin(), name.end());
  if (wide.size() < MAX_PATH || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  return L"\\\\?\\" + wide;
}

uint32_t openNamed(const std::wstring& wideName, OwnedFile& file) {
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE handle = INVALID_HANDLE_VALUE;
  uint32_t error = guardedCall([&] {
    handle = sys::createFile(wideName.c_str(), GENERIC_READ, FILE_SHARE_READ, &security, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL);
  });
  // Owned before the error is looked at, so a handle that came with an error is closed again.
  OwnedFile opened(handle == INVALID_HANDLE_VALUE ? noHandle : reinterpret_cast<NativeHandle>(handle));
  if (!opened && error == ERROR_SUCCESS) error = ERROR_INVALID_FUNCTION;
  if (error == ERROR_SUCCESS) file = std::move(opened);
  return error;
}

}  // namespace

void closeHandle(NativeHandle handle) noexcept {
  guardedCall([&] { CloseHandle(toHandle(handle)); });
}

uint32_t openForReading(const ByteString& name, OwnedFile& file) {
  return openNamed(fileName(name), file);
}

uint32_t openForReading(const std::u16string& name, OwnedFile& file) {
  return openNamed(fileName(name), file);
}

bool isDiskFile(NativeHandle handle) {
  return sys::getFileType(toHandle(handle)) == FILE_TYPE_DISK;
}

uint32_t readAt(NativeHandle handle, int64_t offset, char* buffer, int32_t size, int32_t& bytesRead) {
  bytesRead = 0;
  // Positioned apart from the read: Wine serves a read that carries its own position through a
  // far slower path.
  LONG high = static_cast<LONG>(offset >> 32);
  const uint32_t error = guardedCall([&] {
    sys::setFilePointer(toHandle(handle), static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
  });
  if (error != ERROR_SUCCESS) return error;
  return readNext(handle, buffer, size, bytesRead);
}

uint32_t readNext(NativeHandle handle, char* buffer, int32_t size, int32_t& bytesRead) {
  DWORD count = 0;
  const uint32_t error =
      guardedCall([&] { sys::readFile(toHandle(handle), buffer, static_cast<DWORD>(size), &count); });
  bytesRead = error == ERROR_SUCCESS ? static_cast<int32_t>(count) : 0;
  return error;
}

bool isFolder(const std::u16string& name) {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  guardedCall([&] { attributes = sys::getFileAttributes(fileName(name).c_str()); });
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace runtime::files

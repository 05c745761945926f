// The system calls of the runtime that can fail, each asking callFails first: when a test build
// says the call fails, it is not made and the wrapper returns what the call returns on failure,
// with the thread's last error as callFails left it. The program's own answer is always no.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>
#include <objbase.h>
#include <oleauto.h>

#include "runtime/start/failing_calls.h"

namespace runtime::sys {

// Files.
inline HANDLE createFile(const wchar_t* name, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                         DWORD disposition, DWORD flags) {
  return callFails(SystemCall::fileOpen)
             ? INVALID_HANDLE_VALUE
             : CreateFileW(name, access, share, security, disposition, flags, nullptr);
}
inline BOOL readFile(HANDLE file, void* buffer, DWORD size, DWORD* count) {
  return !callFails(SystemCall::fileRead) && ReadFile(file, buffer, size, count, nullptr);
}
inline DWORD setFilePointer(HANDLE file, LONG low, LONG* high, DWORD from) {
  return callFails(SystemCall::fileSeek) ? INVALID_SET_FILE_POINTER : SetFilePointer(file, low, high, from);
}
inline DWORD getFileType(HANDLE file) {
  return callFails(SystemCall::fileType) ? FILE_TYPE_UNKNOWN : GetFileType(file);
}
inline HANDLE findFirstFile(const wchar_t* name, WIN32_FIND_DATAW* found) {
  return callFails(SystemCall::fileFind) ? INVALID_HANDLE_VALUE : FindFirstFileW(name, found);
}
inline DWORD getFileAttributes(const wchar_t* name) {
  return callFails(SystemCall::fileFind) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(name);
}

// Drawing.
inline HDC createCompatibleDc(HDC like) {
  return callFails(SystemCall::deviceContext) ? nullptr : CreateCompatibleDC(like);
}
inline HDC getDc(HWND window) {
  return callFails(SystemCall::screenDc) ? nullptr : GetDC(window);
}
inline HBITMAP createCompatibleBitmap(HDC like, int width, int height) {
  return callFails(SystemCall::bitmapOrRegion) ? nullptr : CreateCompatibleBitmap(like, width, height);
}
inline HRGN createRectRegion(int left, int top, int right, int bottom) {
  return callFails(SystemCall::bitmapOrRegion) ? nullptr : CreateRectRgn(left, top, right, bottom);
}
inline HGDIOBJ selectObject(HDC dc, HGDIOBJ object) {
  return callFails(SystemCall::selection) ? nullptr : SelectObject(dc, object);
}
inline HFONT createFont(const LOGFONTW& font) {
  return callFails(SystemCall::font) ? nullptr : CreateFontIndirectW(&font);
}
inline HBRUSH createSolidBrush(COLORREF colour) {
  return callFails(SystemCall::brush) ? nullptr : CreateSolidBrush(colour);
}
inline HBRUSH createHatchBrush(int hatch, COLORREF colour) {
  return callFails(SystemCall::brush) ? nullptr : CreateHatchBrush(hatch, colour);
}
inline BOOL extTextOut(HDC dc, UINT options, const RECT* clip, const wchar_t* text, UINT length) {
  return !callFails(SystemCall::textOut) && ExtTextOutW(dc, 0, 0, options, clip, text, length, nullptr);
}
inline BOOL bitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                   DWORD operation) {
  return !callFails(SystemCall::blockTransfer) &&
         BitBlt(target, x, y, width, height, source, sourceX, sourceY, operation);
}
inline BOOL stretchBlt(HDC target, int width, int height, HDC source, int sourceWidth, int sourceHeight) {
  return !callFails(SystemCall::blockTransfer) &&
         StretchBlt(target, 0, 0, width, height, source, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
}
inline int fillRect(HDC dc, const RECT& area, HBRUSH brush) {
  return callFails(SystemCall::blockTransfer) ? 0 : FillRect(dc, &area, brush);
}
inline HANDLE loadImage(HINSTANCE module, const wchar_t* name, UINT type, int width, int height, UINT flags) {
  return callFails(SystemCall::pictureLoad) ? nullptr : LoadImageW(module, name, type, width, height, flags);
}
inline HBITMAP loadSystemBitmap(const wchar_t* name) {
  return callFails(SystemCall::pictureLoad) ? nullptr : LoadBitmapW(nullptr, name);
}

// Windows and menus.
inline HWND createDialog(HINSTANCE module, LPCDLGTEMPLATEW layout, HWND parent, DLGPROC procedure) {
  return callFails(SystemCall::window) ? nullptr
                                       : CreateDialogIndirectParamW(module, layout, parent, procedure, 0);
}
inline HWND createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x,
                         int y, int width, int height, HWND parent, HMENU id, HINSTANCE module) {
  return callFails(SystemCall::window) ? nullptr
                                       : CreateWindowExW(exStyle, className, text, style, x, y, width, height,
                                                         parent, id, module, nullptr);
}
inline HMENU createMenu() {
  return callFails(SystemCall::menu) ? nullptr : CreateMenu();
}
inline HMENU createPopupMenu() {
  return callFails(SystemCall::menu) ? nullptr : CreatePopupMenu();
}
inline BOOL insertMenuItem(HMENU menu, UINT where, BOOL byPosition, const MENUITEMINFOW& item) {
  return !callFails(SystemCall::menu) && InsertMenuItemW(menu, where, byPosition, &item);
}
inline BOOL setMenu(HWND window, HMENU menu) {
  return !callFails(SystemCall::menu) && SetMenu(window, menu);
}
inline int messageBox(const wchar_t* text, const wchar_t* caption, UINT style) {
  return callFails(SystemCall::messageBox) ? 0 : MessageBoxW(nullptr, text, caption, style);
}

// The process.
inline BOOL playSound(const wchar_t* name, HMODULE module, DWORD flags) {
  return !callFails(SystemCall::sound) && PlaySoundW(name, module, flags);
}
inline BSTR allocateString(UINT bytes) {
  return callFails(SystemCall::stringMemory) ? nullptr : SysAllocStringByteLen(nullptr, bytes);
}
inline void* globalAlloc(UINT flags, SIZE_T bytes) {
  return callFails(SystemCall::globalMemory) ? nullptr : GlobalAlloc(flags, bytes);
}
inline DWORD tlsAlloc() {
  return callFails(SystemCall::threadStorage) ? TLS_OUT_OF_INDEXES : TlsAlloc();
}
inline BOOL tlsSetValue(DWORD slot, void* value) {
  return !callFails(SystemCall::threadStorage) && TlsSetValue(slot, value);
}
inline HRESULT coInitialize() {
  return callFails(SystemCall::com) ? E_FAIL : CoInitialize(nullptr);
}
inline BOOL initCommonControls(DWORD classes) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), classes};
  return !callFails(SystemCall::commonControls) && InitCommonControlsEx(&controls);
}

}  // namespace runtime::sys

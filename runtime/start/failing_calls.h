// Before each system call that can fail, the runtime asks callFails whether to take it as failed.
// The program's own answer is always no; a test build links an answer of its own that fails a
// chosen call, so that the handling of every failure can be seen.
#pragma once

#include <cstdint>

namespace runtime {

// The kinds of call, as a test names them.
enum class SystemCall : uint8_t {
  fileOpen,        // CreateFile
  fileRead,        // ReadFile
  fileSeek,        // SetFilePointer
  fileType,        // GetFileType
  fileFind,        // FindFirstFile, GetFileAttributes
  deviceContext,   // CreateCompatibleDC
  bitmapOrRegion,  // CreateCompatibleBitmap, and CreateRectRgn for the region that names a copied picture
  selection,       // SelectObject
  font,            // CreateFontIndirect
  brush,           // CreateSolidBrush, CreateHatchBrush
  textOut,         // ExtTextOut
  blockTransfer,   // BitBlt, StretchBlt, FillRect
  pictureLoad,     // LoadImage, LoadBitmap
  window,          // CreateDialogIndirectParam, CreateWindowEx
  menu,            // CreateMenu, CreatePopupMenu, InsertMenuItem, SetMenu
  messageBox,      // MessageBox
  screenDc,        // GetDC
  sound,           // PlaySound
  stringMemory,    // SysAllocStringByteLen
  globalMemory,    // GlobalAlloc
  threadStorage,   // TlsAlloc, TlsSetValue
  com,             // CoInitialize
  commonControls,  // InitCommonControlsEx
};
inline constexpr int32_t systemCallKinds = static_cast<int32_t>(SystemCall::commonControls) + 1;

// True when this call is to be taken as failed; the thread's last error then says why.
bool callFails(SystemCall call) noexcept;

}  // namespace runtime

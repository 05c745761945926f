// Host dialogs made as the game makes its window: geometry, styles, menus, the modal loop, the
// messages the callback sees, and the records released when a dialog ends.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "runtime/canvas/canvas.h"
#include "runtime/canvas/draw_target.h"
#include "runtime/host/dialog_host.h"
#include "runtime/host/host_state.h"
#include "runtime/host/message_guard.h"
#include "tests/support/process_memory.h"
#include "tests/support/stress.h"

namespace runtime {
namespace {

constexpr uint32_t gameStyle = 0x94C200D4, gameExStyle = 0x10000;

HWND gameDialog() {
  return createDialog(DialogUnits::pixels, nullptr, ByteString("Letrazul"), 105, 114, 800, 618, gameStyle,
                      gameExStyle);
}

// The game's window with its canvas, control 1001, as the game makes them.
HWND gameDialogWithCanvas() {
  HWND dialog = gameDialog();
  addControl(dialog, 1001, graphicControlType, ByteString(), 0, 0, 800, 600, 0x50800100, 0, nullptr);
  return dialog;
}

RECT windowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT clientRect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

TEST(NewDialog, TheGamesWindowHasItsClientSizeAtItsPlaceAndStaysHidden) {
  HWND dialog = gameDialog();
  ASSERT_NE(dialog, nullptr);
  const auto style = static_cast<uint32_t>(GetWindowLongW(dialog, GWL_STYLE));
  EXPECT_FALSE(style & WS_VISIBLE);
  EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
  EXPECT_FALSE(style & WS_SYSMENU) << "no caption buttons";
  EXPECT_EQ(clientRect(dialog).right, 800);
  EXPECT_EQ(clientRect(dialog).bottom, 618);
  const RECT outer = windowRect(dialog);
  EXPECT_EQ(outer.left, 105);
  EXPECT_EQ(outer.top, 114);
  wchar_t title[32] = {};
  GetWindowTextW(dialog, title, 32);
  EXPECT_STREQ(title, L"Letrazul");

  // A menu bar keeps the outer size, so the client area loses its height.
  HMENU bar = newMenuBar();
  HMENU options = newPopupMenu();
  addMenuItem(options, ByteString("Nueva Partida"), 1002, 0, -1, nullptr, nullptr, 0);
  addMenuItem(bar, ByteString("Opciones"), 0, 0, -1, options, nullptr, 0);
  attachMenu(dialog, bar);
  const RECT after = windowRect(dialog);
  EXPECT_EQ(after.bottom - after.top, outer.bottom - outer.top);
  EXPECT_EQ(clientRect(dialog).right, 800);
  MENUBARINFO barInfo{};
  barInfo.cbSize = sizeof(barInfo);
  ASSERT_TRUE(GetMenuBarInfo(dialog, OBJID_MENU, 0, &barInfo));
  EXPECT_NEAR(618 - clientRect(dialog).bottom, barInfo.rcBar.bottom - barInfo.rcBar.top, 1)
      << "the client area lost the menu bar's height";
  endDialog(dialog, 0);
  EXPECT_FALSE(IsWindow(dialog));
}

TEST(NewDialog, StyleZeroIsAHiddenCaptionedPopupAndCentringStaysOnScreen) {
  HWND dialog = createDialog(DialogUnits::pixels, nullptr, ByteString("Centro"), INT32_MIN, INT32_MIN, 5000,
                             4000, 0, 0);
  ASSERT_NE(dialog, nullptr);
  const auto style = static_cast<uint32_t>(GetWindowLongW(dialog, GWL_STYLE));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
  EXPECT_TRUE(style & DS_MODALFRAME);
  EXPECT_FALSE(style & WS_VISIBLE);
  const RECT outer = windowRect(dialog);
  EXPECT_GE(outer.left, 0) << "too big to centre: put at the corner, never off it";
  EXPECT_GE(outer.top, 0);
  endDialog(dialog, 0);

  HWND small = createDialog(DialogUnits::pixels, nullptr, ByteString("Centro"), INT32_MIN, 0, 200, 100, 0, 0);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT placed = windowRect(small);
  EXPECT_NEAR((placed.left + placed.right) / 2.0, (work.left + work.right) / 2.0, 1.5);
  endDialog(small, 0);
}

TEST(AddMenuItem, OnlyALoneDashIsASeparator) {
  HMENU menu = newPopupMenu();
  for (const char* text : {"-", "--", "- ", "Autor"})
    addMenuItem(menu, ByteString(text), 1007, 0, -1, nullptr, nullptr, 0);
  const bool separator[] = {true, false, false, false};
  for (UINT i = 0; i < 4; ++i) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &item));
    EXPECT_EQ((item.fType & MFT_SEPARATOR) != 0, separator[i]) << i;
    EXPECT_EQ(item.wID, separator[i] ? 0u : 1007u) << i;
  }
  DestroyMenu(menu);
}

struct Seen {
  UINT message;
  WPARAM wParam;
  bool visible;
};
std::vector<Seen> seen;

// Records what arrives; the test's own message ends the dialog from inside the callback.
INT_PTR RecordingCallback(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  seen.push_back({message, wParam, IsWindowVisible(dialog) != FALSE});
  if (message == WM_INITDIALOG) PostMessageW(dialog, WM_APP, 0, 0);
  if (message == WM_APP) endDialog(dialog, 7);
  return 0;
}

bool saw(UINT message) {
  for (const Seen& s : seen)
    if (s.message == message) return true;
  return false;
}

TEST(ShowModal, TheCallbackSeesTheStartBeforeTheWindowShowsAndEndsTheLoop) {
  seen.clear();
  HWND dialog = gameDialogWithCanvas();
  int32_t result = 99;
  showModal(dialog, RecordingCallback, &result);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(result, 7);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_INITDIALOG));
  EXPECT_EQ(seen[0].wParam, reinterpret_cast<WPARAM>(dialog));
  EXPECT_FALSE(seen[0].visible);
  EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_SIZE));
  EXPECT_FALSE(seen[1].visible);
  EXPECT_TRUE(saw(WM_CLOSE)) << "endDialog closes first";
  EXPECT_TRUE(saw(WM_NCACTIVATE));
  EXPECT_FALSE(saw(WM_ACTIVATE)) << "the host keeps WM_ACTIVATE to itself";
  EXPECT_EQ(windowRecordCount(), 0);
  EXPECT_EQ(openDialogCount, 0);
}

INT_PTR KeyCallback(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    HWND canvas = controlHandle(dialog, 1001);
    SetFocus(canvas);
    PostMessageW(canvas, WM_KEYDOWN, VK_RIGHT, 0x014D0001);
    PostMessageW(canvas, WM_CHAR, 'a', 0x001E0001);
    PostMessageW(dialog, WM_APP, 0, 0);
  }
  if (message == WM_APP) {
    HWND canvas = controlHandle(dialog, 1001);
    const DrawTarget* target = findTarget(reinterpret_cast<TargetHandle>(canvas));
    seen.push_back({WM_APP, static_cast<WPARAM>(target->lastKey), GetFocus() == canvas});
    endDialog(dialog, 0);
  }
  return 0;
}

TEST(ShowModal, AFocusedGraphicControlGetsArrowsAndCharacters) {
  seen.clear();
  HWND dialog = gameDialogWithCanvas();
  int32_t result = 99;
  showModal(dialog, KeyCallback, &result);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].wParam, static_cast<WPARAM>('a')) << "the last key the control took";
  EXPECT_TRUE(seen[0].visible) << "the focus stayed on the control";
}

COLORREF paintedPixel = 0;

// Draws on the canvas while the dialog is up: the control shows the picture when it is painted.
INT_PTR PaintCallback(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) PostMessageW(dialog, WM_APP, 0, 0);
  if (message == WM_APP) {
    attachTarget(reinterpret_cast<TargetHandle>(dialog), 1001);
    clearTarget(static_cast<ColourValue>(RGB(0, 128, 255)), 0);
    HWND canvas = controlHandle(dialog, 1001);
    InvalidateRect(canvas, nullptr, FALSE);
    UpdateWindow(canvas);  // WM_DRAWITEM, answered by the host
    HDC screen = GetDC(canvas);
    paintedPixel = GetPixel(screen, 400, 300);
    ReleaseDC(canvas, screen);
    endDialog(dialog, 0);
  }
  return 0;
}

TEST(ShowModal, TheGraphicControlPaintsItsPicture) {
  HWND dialog = gameDialogWithCanvas();
  int32_t result = 99;
  showModal(dialog, PaintCallback, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(paintedPixel, RGB(0, 128, 255));
}

// Where notifications arrived: at the canvas's own callback, and at the dialog's.
std::vector<LPARAM> canvasNotified, dialogNotified;
NMHDR genuine{};
DRAWITEMSTRUCT namingNoWindow{};  // readable as either structure, but no window of ours wrote it
COLORREF paintedAfterwards = 0, paintedUnasked = 0;

INT_PTR CanvasCallback(HWND, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY) canvasNotified.push_back(lParam);
  return 0;
}

// Pointers that another process may put in a message: none, memory given back, memory that may not
// be read, a header that runs into such memory, memory beyond any process, and a readable header
// that no window of ours wrote.
std::vector<LPARAM> forgedPointers() {
  static void* const released = [] {
    void* block = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    VirtualFree(block, 0, MEM_RELEASE);
    return block;
  }();
  static char* const pages = [] {
    auto* block = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD previous = 0;
    VirtualProtect(block + 4096, 4096, PAGE_NOACCESS, &previous);
    return block;
  }();
  return {0,
          reinterpret_cast<LPARAM>(released),
          reinterpret_cast<LPARAM>(pages + 4096),
          reinterpret_cast<LPARAM>(pages + 4096 - 8),
          static_cast<LPARAM>(~static_cast<uintptr_t>(0xFFFF)),
          reinterpret_cast<LPARAM>(&namingNoWindow)};
}

// Sends and posts notifications and item paints with forged pointers, and a paint of the canvas
// into a DC of ours that the canvas never asked for; then a genuine notification and a real paint,
// which must still arrive.
INT_PTR ForgedPointerCallback(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      PostMessageW(dialog, WM_APP, 0, 0);
      break;
    case WM_APP: {
      for (LPARAM forged : forgedPointers())
        for (UINT carrier : {WM_NOTIFY, WM_DRAWITEM}) {
          SendMessageW(dialog, carrier, 1001, forged);
          PostMessageW(dialog, carrier, 1001, forged);
        }
      attachTarget(reinterpret_cast<TargetHandle>(dialog), 1001);
      clearTarget(static_cast<ColourValue>(RGB(255, 0, 0)), 0);
      HDC screen = GetDC(nullptr);
      HDC memory = CreateCompatibleDC(screen);
      HGDIOBJ kept = SelectObject(memory, CreateCompatibleBitmap(screen, 8, 8));
      ReleaseDC(nullptr, screen);
      SetPixel(memory, 4, 4, RGB(255, 255, 255));
      DRAWITEMSTRUCT unasked{
          ODT_STATIC, 1001, 0, ODA_DRAWENTIRE, 0, controlHandle(dialog, 1001), memory, RECT{0, 0, 8, 8}, 0};
      SendMessageW(dialog, WM_DRAWITEM, 1001, reinterpret_cast<LPARAM>(&unasked));
      paintedUnasked = GetPixel(memory, 4, 4);
      DeleteObject(SelectObject(memory, kept));
      DeleteDC(memory);
      PostMessageW(dialog, WM_APP + 1, 0, 0);  // after the posted ones
      break;
    }
    case WM_APP + 1: {
      HWND canvas = controlHandle(dialog, 1001);
      genuine = NMHDR{canvas, 1001, static_cast<UINT>(NM_CLICK)};
      SendMessageW(dialog, WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&genuine));
      attachTarget(reinterpret_cast<TargetHandle>(dialog), 1001);
      clearTarget(static_cast<ColourValue>(RGB(0, 128, 255)), 0);
      InvalidateRect(canvas, nullptr, FALSE);
      UpdateWindow(canvas);
      HDC screen = GetDC(canvas);
      paintedAfterwards = GetPixel(screen, 400, 300);
      ReleaseDC(canvas, screen);
      endDialog(dialog, 3);
      break;
    }
    case WM_NOTIFY:
      dialogNotified.push_back(lParam);
      break;
    default:
      break;
  }
  return 0;
}

TEST(ShowModal, ForgedPointersInNotificationsAndPaintsAreNeverRead) {
  canvasNotified.clear();
  dialogNotified.clear();
  HWND dialog = gameDialog();
  addControl(dialog, 1001, graphicControlType, ByteString(), 0, 0, 800, 600, 0x50800100, 0, CanvasCallback);
  int32_t result = 99;
  showModal(dialog, ForgedPointerCallback, &result);
  EXPECT_EQ(result, 3) << "the dialog lived on to its end";
  const std::vector<LPARAM> onlyGenuine{reinterpret_cast<LPARAM>(&genuine)};
  EXPECT_EQ(canvasNotified, onlyGenuine);
  EXPECT_EQ(dialogNotified, onlyGenuine);
  EXPECT_EQ(paintedUnasked, RGB(255, 255, 255)) << "the canvas painted where it was not asked";
  EXPECT_EQ(paintedAfterwards, RGB(0, 128, 255)) << "real paints are still answered";
  EXPECT_EQ(windowRecordCount(), 0);
}

INT_PTR EndOnAppMessage(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_APP) endDialog(dialog, 0);
  return 0;
}

enum class Sending { waiting, notifying, withCallback };

// Sends `messages` to `window` from another thread, handling this thread's messages meanwhile.
void sendFromAnotherThread(HWND window, std::vector<UINT> messages, LPARAM lParam = 0,
                           Sending how = Sending::waiting, WPARAM wParam = 0) {
  std::atomic<bool> sent = false;
  std::thread other([&] {
    for (UINT message : messages) {
      if (how == Sending::waiting) SendMessageW(window, message, wParam, lParam);
      if (how == Sending::notifying) SendNotifyMessageW(window, message, wParam, lParam);
      if (how == Sending::withCallback) SendMessageCallbackW(window, message, wParam, lParam, nullptr, 0);
    }
    sent = true;
  });
  MSG message;
  while (!sent) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(1);
  }
  other.join();
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// The system tells a dialog and its canvas of their making and their end; the same notices sent
// from another thread or posted by anyone, as any program can, make and end nothing: the dialog
// keeps its records, its count and the font the dialog manager made for it, and the canvas's own
// procedure never hears of an end. Nor does a notification that another thread sends without
// waiting reach a callback. The real end releases everything, even when it comes from a message
// another thread sent.
void ForgeNoticesOfADialogsMakingAndEnd() {
  canvasNotified.clear();
  HWND dialog = gameDialog();
  addControl(dialog, 1001, graphicControlType, ByteString(), 0, 0, 800, 600, 0x50800100, 0, CanvasCallback);
  HWND canvas = controlHandle(dialog, 1001);
  SetWindowTextW(canvas, L"canvas");  // what the control's own end would free
  const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  updateRecord(dialog, [](WindowRecord& record) { record.callback = EndOnAppMessage; });
  const int32_t records = windowRecordCount(), open = openDialogCount;
  const std::vector<UINT> notices{WM_INITDIALOG, WM_DESTROY, WM_NCDESTROY};
  for (HWND target : {dialog, canvas}) {
    for (UINT notice : notices) PostMessageW(target, notice, 0, 0);
    sendFromAnotherThread(target, notices);
  }
  EXPECT_EQ(windowRecordCount(), records);
  EXPECT_EQ(openDialogCount, open);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << "the dialog manager freed the font";
  wchar_t text[16] = {};
  GetWindowTextW(canvas, text, 16);
  EXPECT_STREQ(text, L"canvas") << "the control's own procedure took it for ended";
  genuine = NMHDR{canvas, 1001, static_cast<UINT>(NM_CLICK)};
  for (Sending how : {Sending::notifying, Sending::withCallback})
    sendFromAnotherThread(dialog, {WM_NOTIFY}, reinterpret_cast<LPARAM>(&genuine), how);
  EXPECT_TRUE(canvasNotified.empty()) << "a notification from another thread was handed on";
  sendFromAnotherThread(dialog, {WM_APP});
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(windowRecordCount(), records - 2) << "the dialog's and its canvas's records went";
  EXPECT_EQ(openDialogCount, open - 1);
}

// Guarded as the game starts, and where the system refused the guard.
TEST(ShowModal, ForgedNoticesOfADialogsMakingAndEndChangeNothing) {
  ASSERT_TRUE(guardThreadMessages());
  {
    SCOPED_TRACE("guarded");
    ForgeNoticesOfADialogsMakingAndEnd();
  }
  releaseMessageGuard();
  SCOPED_TRACE("unguarded");
  ForgeNoticesOfADialogsMakingAndEnd();
}

// A paint into a device context another thread names, sent or posted to the canvas or its dialog:
// the context could be one of the game's own pictures. Only the thread's own request paints.
TEST(ShowModal, PaintsIntoADeviceContextFromElsewhereDrawNothing) {
  ASSERT_TRUE(guardThreadMessages());
  HWND dialog = gameDialogWithCanvas();
  HWND canvas = controlHandle(dialog, 1001);
  attachTarget(reinterpret_cast<TargetHandle>(dialog), 1001);
  clearTarget(static_cast<ColourValue>(RGB(255, 0, 0)), 0);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ kept = SelectObject(memory, CreateCompatibleBitmap(screen, 8, 8));
  ReleaseDC(nullptr, screen);
  const auto context = reinterpret_cast<WPARAM>(memory);
  constexpr LPARAM everything = PRF_CLIENT | PRF_CHILDREN | PRF_NONCLIENT | PRF_ERASEBKGND;
  const struct {
    HWND target;
    UINT message;
  } requests[] = {{canvas, WM_PRINTCLIENT}, {canvas, WM_PAINT},      {dialog, WM_PRINT},
                  {dialog, WM_PRINTCLIENT}, {dialog, WM_ERASEBKGND}, {canvas, WM_PRINT}};
  for (const auto& [target, message] : requests) {
    SCOPED_TRACE(message);
    SetPixel(memory, 4, 4, RGB(255, 255, 255));
    sendFromAnotherThread(target, {message}, everything, Sending::waiting, context);
    PostMessageW(target, message, context, everything);
    sendFromAnotherThread(target, {});  // handles what was posted
    EXPECT_EQ(GetPixel(memory, 4, 4), RGB(255, 255, 255));
  }
  SendMessageW(canvas, WM_PRINTCLIENT, context, PRF_CLIENT);
  EXPECT_EQ(GetPixel(memory, 4, 4), RGB(255, 0, 0)) << "the thread's own request paints";
  DeleteObject(SelectObject(memory, kept));
  DeleteDC(memory);
  endDialog(dialog, 0);
  EXPECT_EQ(windowRecordCount(), 0);
  releaseMessageGuard();
}

// Software in the process that subclasses dialogs as they are made gives each its own procedure;
// each host dialog's messages go on to its own.
struct Subclass {
  WNDPROC previous = nullptr;
  std::vector<HWND> saw;
};
Subclass subclasses[2];
int32_t subclassed = 0;

template <int n>
LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP + 5) subclasses[n].saw.push_back(window);
  return CallWindowProcW(subclasses[n].previous, window, message, wParam, lParam);
}

LRESULT CALLBACK SubclassDialogsAsTheyAreMade(int code, WPARAM wParam, LPARAM lParam) {
  wchar_t className[16] = {};
  if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), className, 16) &&
      std::wstring(className) == L"#32770" && subclassed < 2) {
    const WNDPROC procs[] = {SubclassProc<0>, SubclassProc<1>};
    subclasses[subclassed].previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procs[subclassed])));
    ++subclassed;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(NewDialog, EachDialogKeepsTheProcedureItWasMadeWith) {
  HHOOK hook = SetWindowsHookExW(WH_CBT, SubclassDialogsAsTheyAreMade, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  const HWND dialogs[] = {gameDialog(), gameDialog()};
  UnhookWindowsHookEx(hook);
  ASSERT_EQ(subclassed, 2);
  for (HWND dialog : dialogs) SendMessageW(dialog, WM_APP + 5, 0, 0);
  for (int n : {0, 1}) EXPECT_EQ(subclasses[n].saw, std::vector<HWND>{dialogs[n]});
  for (HWND dialog : dialogs) endDialog(dialog, 0);
  EXPECT_EQ(windowRecordCount(), 0);
}

INT_PTR EndAtOnce(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) PostMessageW(dialog, WM_APP, 0, 0);
  if (message == WM_APP) endDialog(dialog, 0);
  return 0;
}

TEST(ShowModal, DialogsShownAgainAndAgainLeaveNothingBehind) {
  using test_support::privateBytes;
  int64_t settled = 0;
  const int dialogs = test_support::stressRounds(200, 1000);
  for (int i = 0; i < dialogs; ++i) {
    HWND dialog = gameDialogWithCanvas();
    setDialogIcon(dialog, ByteString("#200"));
    HMENU bar = newMenuBar();
    HMENU options = newPopupMenu();
    addMenuItem(options, ByteString("Salir del programa"), 1005, 0, -1, nullptr, nullptr, 0);
    addMenuItem(bar, ByteString("Opciones"), 0, 0, -1, options, nullptr, 0);
    attachMenu(dialog, bar);
    int32_t result = 1;
    showModal(dialog, EndAtOnce, &result);
    ASSERT_EQ(result, 0);
    if (i == 9) settled = privateBytes();
  }
  EXPECT_EQ(windowRecordCount(), 0);
  EXPECT_EQ(targetCount(), 0);
  EXPECT_LT(privateBytes() - settled, 2 << 20);
}

}  // namespace
}  // namespace runtime

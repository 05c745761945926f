// The dialog host over the Win32 dialog manager.
#include "runtime/host/dialog_host.h"

#include <string>
#include <vector>

#include "runtime/canvas/draw_target.h"
#include "runtime/host/host_state.h"
#include "runtime/host/message_guard.h"
#include "runtime/start/process_state.h"
#include "runtime/start/system_calls.h"
#include "runtime/text/wide_text.h"

namespace runtime {

namespace {

// DLGTEMPLATEEX, field by field, with no items and no menu: controls and menus come later, and the
// real title is set once the window exists.
std::vector<WORD> dialogTemplate(uint32_t style, uint32_t exStyle, int32_t x, int32_t y, int32_t width,
                                 int32_t height) {
  std::vector<WORD> words;
  auto put16 = [&](uint32_t value) { words.push_back(static_cast<WORD>(value)); };
  auto put32 = [&](uint32_t value) {
    put16(value & 0xFFFF);
    put16(value >> 16);
  };
  auto putText = [&](std::wstring_view text) {
    for (wchar_t c : text) put16(c);
    put16(0);
  };
  put16(1);       // dlgVer
  put16(0xFFFF);  // signature
  put32(0);       // helpID
  put32(exStyle);
  put32(style);
  put16(0);  // no items
  for (int32_t value : {x, y, width, height}) put16(static_cast<uint32_t>(value));
  put16(0);  // no menu
  put16(0);  // the system dialog class
  putText(L" ");
  put16(8);          // points
  put16(FW_NORMAL);  // weight
  put16(0);          // italic, charset
  putText(L"MS Sans Serif");
  return words;
}

uint32_t dialogStyle(uint32_t style, HWND parent, int32_t x, int32_t y) {
  if (style == 0) style = 0x80C000D4;  // a captioned popup with a modal frame
  style |= DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;
  style &= ~static_cast<uint32_t>(WS_VISIBLE | DS_SYSMODAL);  // shown only by showModal
  if (x == INT32_MIN || y == INT32_MIN) style |= DS_CENTER;
  if (style & WS_CHILD) {
    style &= ~static_cast<uint32_t>(WS_POPUP | DS_ABSALIGN);
    if (!parent) style = (style & ~static_cast<uint32_t>(WS_CHILD)) | WS_POPUP;
  }
  return style;
}

// Makes width x height the client size and places the window by the pixel rules.
void placeInPixels(HWND dialog, HWND parent, uint32_t style, int32_t x, int32_t y, int32_t width,
                   int32_t height) {
  RECT outer{}, client{};
  GetWindowRect(dialog, &outer);
  GetClientRect(dialog, &client);
  const int32_t outerWidth = width + (outer.right - outer.left) - client.right;
  const int32_t outerHeight = height + (outer.bottom - outer.top) - client.bottom;
  if (style & DS_CENTER) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    x = std::max<int32_t>(0, (work.left + work.right - outerWidth) / 2);
    y = std::max<int32_t>(0, (work.top + work.bottom - outerHeight) / 2);
  } else if (!(style & WS_CHILD) && !(style & DS_ABSALIGN)) {
    POINT origin{0, 0};
    if (parent) ClientToScreen(parent, &origin);
    x += origin.x;
    y += origin.y;
  } else if (!(style & WS_CHILD) || !(style & DS_CONTROL)) {
    x = std::max(0, x);
    y = std::max(0, y);
  }
  SetWindowPos(dialog, nullptr, x, y, outerWidth, outerHeight, 0x71C);
}

// A control's own callback, or the item callback of a menu command, gets first say.
INT_PTR routedCallback(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND origin = nullptr;
  if (message == WM_COMMAND) {
    if (GetDlgItem(dialog, LOWORD(wParam))) {
      origin = reinterpret_cast<HWND>(lParam);
    } else if (HMENU menu = GetMenu(dialog)) {
      MENUITEMINFOW item{};
      item.cbSize = sizeof(item);
      item.fMask = MIIM_DATA;
      if (GetMenuItemInfoW(menu, LOWORD(wParam), FALSE, &item) && item.dwItemData)
        return reinterpret_cast<DialogCallback>(item.dwItemData)(dialog, message, wParam, lParam);
      return 0;
    }
  } else if (message == WM_NOTIFY) {
    origin = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
  } else {
    origin = reinterpret_cast<HWND>(lParam);  // the scroll bar of WM_HSCROLL / WM_VSCROLL
  }
  WindowRecord control;
  if (!origin || !findRecord(origin, control) || !control.callback) return 0;
  return control.callback(dialog, message, wParam, lParam);
}

INT_PTR defaultHandling(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCDESTROY:
      releaseDialogRecords(dialog);
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      WindowRecord control;
      if (item.itemAction != ODA_DRAWENTIRE || !findRecord(item.hwndItem, control) ||
          control.type != graphicControlType)
        return FALSE;
      paintControl(item);
      return TRUE;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
      endDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK hostDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ++openDialogCount;
      return FALSE;
    case WM_ACTIVATE:
      activeDialog = LOWORD(wParam) == WA_INACTIVE ? nullptr : dialog;
      return 0;
    case WM_DESTROY:
      --openDialogCount;
      break;
    default:
      break;
  }
  INT_PTR answer = 0;
  if (message == WM_COMMAND || message == WM_NOTIFY || message == WM_HSCROLL || message == WM_VSCROLL)
    answer = routedCallback(dialog, message, wParam, lParam);
  WindowRecord record;
  if (!answer && findRecord(dialog, record) && record.callback)
    answer = record.callback(dialog, message, wParam, lParam);
  if (answer) {
    if (GetWindowLongPtrW(dialog, DWLP_MSGRESULT) == 0) SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
    return answer;
  }
  return defaultHandling(dialog, message, wParam, lParam);
}

// In front of the dialog manager's procedure, so that what only a forger sends stops before any
// procedure of the system or the host sees it: the dialog manager would free the dialog's data and
// font on a notice of its end, and the default handling of a notification reads its pointer.
LRESULT CALLBACK dialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord record;
  findRecord(dialog, record);
  switch (message) {
    case WM_INITDIALOG:  // the real one came as the dialog was made, before this procedure was in
      return 0;
    case WM_DESTROY:
    case WM_NCDESTROY:
      // Only endDialog ends a host dialog; the same notices sent or posted by anyone else end nothing.
      if (!record.ending) return 0;
      break;
    case WM_ERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
    case WM_PAINT:
      // Each names a device context to draw into; from another thread or process it is a guess,
      // which may be one of the game's own pictures.
      if ((message != WM_PAINT || wParam != 0) && sentFromElsewhere()) return 0;
      break;
    case WM_NOTIFY:
      if (!genuineNotification(lParam)) return TRUE;
      break;
    case WM_DRAWITEM:
      if (!readable(lParam, sizeof(DRAWITEMSTRUCT))) return TRUE;
      break;
    default:
      break;
  }
  // The record is there from before this procedure was put in until the dialog's last message.
  return CallWindowProcW(record.managerProc ? record.managerProc : DefWindowProcW, dialog, message, wParam,
                         lParam);
}

}  // namespace

HWND createDialog(DialogUnits units, HWND parent, const ByteString& title, int32_t x, int32_t y,
                  int32_t width, int32_t height, uint32_t style, uint32_t exStyle) {
  style = dialogStyle(style, parent, x, y);
  const std::vector<WORD> layout = dialogTemplate(style, exStyle, x, y, width, height);
  HWND dialog = sys::createDialog(moduleInstance(), reinterpret_cast<LPCDLGTEMPLATEW>(layout.data()), parent,
                                  hostDialogProc);
  if (!dialog) return nullptr;
  WindowRecord record;
  record.window = dialog;
  record.parent = parent;
  record.kind =
      record_kind::dialog | (units == DialogUnits::pixels ? record_kind::pixels : record_kind::dialogUnits);
  record.showCommand = (style & WS_MAXIMIZE) ? SW_MAXIMIZE : (style & WS_MINIMIZE) ? SW_MINIMIZE : SW_SHOW;
  record.font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  record.style = style;
  record.exStyle = exStyle;
  // The record holds the procedure behind ours before ours is in, so that every message finds it.
  record.managerProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(dialog, GWLP_WNDPROC));
  if (!registerWindow(record)) return nullptr;
  SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dialogWindowProc));
  if (units == DialogUnits::pixels) placeInPixels(dialog, parent, style, x, y, width, height);
  const WideText wideTitle = WideText::ofGameText(title);
  SetWindowTextW(dialog, wideTitle.c_str());
  return dialog;
}

void setDialogIcon(HWND dialog, const ByteString& name) {
  WindowRecord record;
  if (!findRecord(dialog, record) || (record.kind & record_kind::child)) return;
  const WideText wideName = WideText::ofSystemText(name);
  const struct {
    int size;
    WPARAM which;
  } icons[] = {{32, ICON_BIG}, {16, ICON_SMALL}};
  for (const auto& [size, which] : icons) {
    auto icon =
        static_cast<HICON>(sys::loadImage(moduleInstance(), wideName.c_str(), IMAGE_ICON, size, size, 0));
    if (!icon) continue;
    SendMessageW(dialog, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    HICON replaced = nullptr;
    const bool big = which == ICON_BIG;
    updateRecord(dialog, [&](WindowRecord& r) {
      HICON& slot = big ? r.bigIcon : r.smallIcon;
      replaced = slot;
      slot = icon;
    });
    if (replaced) DestroyIcon(replaced);
  }
}

void addControl(HWND dialog, int32_t id, int32_t type, const ByteString& text, int32_t x, int32_t y,
                int32_t width, int32_t height, uint32_t style, uint32_t exStyle, DialogCallback callback) {
  WindowRecord owner;
  if (type != graphicControlType || !findRecord(dialog, owner)) return;
  style = (style == 0 ? 0x5001000D : style) | WS_CHILD | WS_VISIBLE | SS_OWNERDRAW;
  if (owner.kind & record_kind::dialogUnits) {
    RECT area{x, y, x + width, y + height};
    MapDialogRect(dialog, &area);
    x = area.left;
    y = area.top;
    width = area.right - area.left;
    height = area.bottom - area.top;
  }
  const WideText wideText = WideText::ofGameText(text);
  HWND control = sys::createWindow(exStyle, L"STATIC", wideText.c_str(), style, x, y, width, height, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), moduleInstance());
  if (!control) return;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(owner.font), TRUE);
  WindowRecord record;
  record.window = control;
  record.parent = dialog;
  record.kind = record_kind::child | (owner.kind & (record_kind::pixels | record_kind::dialogUnits));
  record.callback = callback;
  record.style = style;
  record.exStyle = exStyle;
  record.type = graphicControlType;
  record.textColour = GetSysColor(COLOR_WINDOWTEXT);
  record.backColour = GetSysColor(COLOR_BTNFACE);
  registerWindow(record);
  createControlTarget(control, record.backColour);
}

HWND controlHandle(HWND dialog, int32_t id) {
  return GetDlgItem(dialog, id);
}

HMENU newMenuBar() {
  return sys::createMenu();
}
HMENU newPopupMenu() {
  return sys::createPopupMenu();
}

void addMenuItem(HMENU menu, const ByteString& text, uint32_t commandId, uint32_t state, int32_t position,
                 HMENU submenu, DialogCallback itemCallback, uint32_t flags) {
  const WideText wideText = WideText::ofGameText(text);
  std::wstring label(wideText.c_str(), static_cast<size_t>(wideText.size()));
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;
  item.fType = MFT_STRING;
  item.fState = state;
  item.wID = commandId;
  item.hSubMenu = submenu;
  item.dwItemData = reinterpret_cast<ULONG_PTR>(itemCallback);
  item.dwTypeData = label.data();
  item.cch = static_cast<UINT>(label.size());
  if (label == L"-") {
    item.fType = MFT_SEPARATOR;
    item.wID = 0;
    item.fState = 0;
    item.dwItemData = 0;
  }
  const bool byCommand = flags & menuBeforeCommand;
  const UINT where = byCommand ? static_cast<UINT>(position) : static_cast<UINT>(position - 1);  // -1 appends
  sys::insertMenuItem(menu, where, !byCommand, item);
}

BOOL attachMenu(HWND window, HMENU menu) {
  return sys::setMenu(window, menu);
}

void showModal(HWND dialog, DialogCallback callback, int32_t* result) {
  SetForegroundWindow(dialog);
  WindowRecord record;
  const bool known = findRecord(dialog, record);
  if (callback) {
    // The dialog manager's own WM_INITDIALOG came before any callback existed.
    callback(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    RECT client{};
    GetClientRect(dialog, &client);
    const WPARAM sizeType = record.showCommand == SW_MAXIMIZE   ? SIZE_MAXIMIZED
                            : record.showCommand == SW_MINIMIZE ? SIZE_MINIMIZED
                                                                : SIZE_RESTORED;
    callback(dialog, WM_SIZE, sizeType, MAKELPARAM(client.right, client.bottom));
  }
  if (!known) return;
  updateRecord(dialog, [&](WindowRecord& r) {
    r.callback = callback;
    r.resultTarget = result;
    r.kind |= record_kind::modal;
  });
  if (record.parent) {
    SendMessageW(record.parent, WM_CANCELMODE, 0, 0);
    EnableWindow(record.parent, FALSE);
  }
  ShowWindow(dialog, record.showCommand);
  // Polls rather than blocks, so a queued message waits at most one sleep.
  while (IsWindow(dialog)) {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (record.parent && !(record.style & DS_NOIDLEMSG))
        SendMessageW(record.parent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
      Sleep(1);
      continue;
    }
    HACCEL table = IsWindow(dialog) ? dialogAccelerators(dialog) : nullptr;
    if (table && TranslateAcceleratorW(dialog, table, &message)) continue;
    if (IsWindow(dialog) && IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (record.parent) SetFocus(record.parent);
}

void endDialog(HWND dialog, int32_t result) {
  WindowRecord record;
  if (!findRecord(dialog, record)) return;
  if (record.resultTarget) *record.resultTarget = result;
  SendMessageW(dialog, WM_CLOSE, 0, 0);
  if (record.parent) EnableWindow(record.parent, TRUE);
  if (record.accelerators) {
    DestroyAcceleratorTable(record.accelerators);
    updateRecord(dialog, [](WindowRecord& r) { r.accelerators = nullptr; });
  }
  // Before the dialog and its controls hear of their end, so that they let it through.
  markEnding(dialog);
  DestroyWindow(dialog);
}

}  // namespace runtime

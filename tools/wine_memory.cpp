// Repeats one thing the game does, many times, with nothing of the game's around it, and prints how
// the process's memory grows: to tell Wine's own growth from the game's.
//   wine_memory boxes|stacked|dialogs|windows|frames|sounds [COUNT]
// boxes: a message box with no owner, answered with OK by another thread, as the soak answers the
// game's; stacked: 1 to 40 such boxes opened one over the other before they are answered, as presses
// after a lost game open them; dialogs: a plain modal dialog instead of a message box; windows: a
// dialog-class popup made, shown and destroyed; frames: the GDI calls of one frame of the game (a
// picture copied from the background, 93 texts drawn on it, copied to a window); sounds: one of the
// game's sounds started asynchronously, the next a tenth of a second later. With COM set in the
// environment the thread joins COM first, as the game's does.
// Memory is read from Linux (Wine shows /proc on drive Z:): the anonymous resident memory, split
// into the Unix side's malloc heap ([heap]) and the rest, and the bytes in use in the Windows heaps.
#include <windows.h>

#include <mmsystem.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/heap_use.h"

namespace {

struct Memory {
  long long anonymousKb = 0, unixHeapKb = 0, windowsHeapBytes = 0, windowsHeapBlocks = 0;
};

// This process's folder in Linux's /proc: the one whose command line names this program and ends
// with these arguments. (Z:\\proc\\self does not lead to this process under Wine.)
std::string OwnProcFolder(const std::string& arguments) {
  std::string found;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::string name = entry.cFileName;
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string line;
    try {  // a process that ends while its command line is read fails the read, and the buffer throws
      std::ifstream file("Z:\\proc\\" + name + "\\cmdline", std::ios::binary);
      line.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
      continue;
    }
    for (char& c : line)
      if (c == '\0') c = ' ';
    while (!line.empty() && line.back() == ' ') line.pop_back();
    // The program is the first word: a shell that started it names it later.
    if (line.substr(0, line.find(' ')).find("wine_memory") == std::string::npos ||
        line.size() < arguments.size() ||
        line.compare(line.size() - arguments.size(), arguments.size(), arguments) != 0)
      continue;
    if (!found.empty()) {
      std::fprintf(stderr, "two processes run as \"%s\"\n", line.c_str());
      std::exit(1);
    }
    found = "Z:\\proc\\" + name;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return found;
}

Memory Measure(const std::string& procFolder) {
  Memory memory;
  std::ifstream maps(procFolder + "\\smaps");
  bool unixHeap = false;
  for (std::string line; std::getline(maps, line);) {
    if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) && line.find('-') < 17) {
      unixHeap = line.find("[heap]") != std::string::npos;
    } else if (line.rfind("Anonymous:", 0) == 0) {
      const long long kb = std::atoll(line.c_str() + 10);
      memory.anonymousKb += kb;
      if (unixHeap) memory.unixHeapKb += kb;
    }
  }
  const test_support::HeapUse heaps = test_support::measureHeaps();
  memory.windowsHeapBytes = heaps.busyBytes;
  memory.windowsHeapBlocks = heaps.blocks;
  return memory;
}

BOOL CALLBACK CollectBox(HWND window, LPARAM boxes) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::wcscmp(name, L"#32770") == 0)
    reinterpret_cast<std::vector<HWND>*>(boxes)->push_back(window);
  return TRUE;
}

// How many boxes are to be open before they are answered.
std::atomic<int> boxesWanted = 1;

// Answers the visible message boxes of this process with OK once as many as wanted are open, as the
// soak does from outside after each burst of presses.
void AnswerBoxes(const std::atomic<bool>& done) {
  while (!done) {
    std::vector<HWND> boxes;
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&boxes));
    if (static_cast<int>(boxes.size()) >= boxesWanted)
      for (HWND box : boxes) PostMessageW(box, WM_COMMAND, IDOK, 0);
    Sleep(2);
  }
}

// Stacked boxes: each WM_APP opens a box, whose own loop takes the next WM_APP and opens the next
// box over it, as presses that reach the game while its "GAME OVER" box is open do.
LRESULT CALLBACK BoxOpener(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_APP) return DefWindowProcW(window, message, wParam, lParam);
  MessageBoxW(nullptr, L"GAME OVER", L"Programador", MB_OK);
  return 0;
}

// A frame as the game makes one: every call the canvas engine makes for it, in the same order.
struct FrameMaker {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                nullptr, nullptr);
  HDC windowPicture = nullptr, background = nullptr;
  HBITMAP windowBitmap = nullptr, backgroundBitmap = nullptr;
  HFONT fonts[3] = {};

  FrameMaker() {
    HDC screen = GetDC(nullptr);
    windowBitmap = CreateCompatibleBitmap(screen, 800, 600);
    backgroundBitmap = CreateCompatibleBitmap(screen, 798, 598);
    ReleaseDC(nullptr, screen);
    windowPicture = CreateCompatibleDC(nullptr);
    SelectObject(windowPicture, windowBitmap);
    background = CreateCompatibleDC(nullptr);
    SelectObject(background, backgroundBitmap);
    const int heights[3] = {-27, -21, -13};
    for (int i = 0; i < 3; ++i)
      fonts[i] = CreateFontW(heights[i], 0, 0, 0, FW_BOLD, 0, 0, 0, 0, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, L"Times New Roman");
  }

  void Make(int n) {
    HDC frame = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(background, 798, 598);
    HGDIOBJ replacedBitmap = SelectObject(frame, bitmap);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    SetBkMode(frame, OPAQUE);
    SetTextAlign(frame, TA_UPDATECP);
    BitBlt(frame, 0, 0, 798, 598, background, 0, 0, SRCCOPY);
    HGDIOBJ replacedFont = nullptr;
    const wchar_t letters[] = L"abcdefghijklmn\u00f1opqrstuvwxyz";
    for (int text = 0; text < 31; ++text) {
      HGDIOBJ was = SelectObject(frame, fonts[text % 3]);
      if (!replacedFont) replacedFont = was;
      TEXTMETRICW metrics{};
      GetTextMetricsW(frame, &metrics);
      for (int layer = 0; layer < 3; ++layer) {
        SetTextColor(frame, RGB(layer * 100, 255 - layer * 100, n & 255));
        SetBkMode(frame, TRANSPARENT);
        const int x = 10 + text * 25 + layer, y = 500 + layer;
        MoveToEx(frame, x, y, nullptr);
        RECT line{x, y, 798, y + metrics.tmHeight};
        ExtTextOutW(frame, 0, 0, ETO_CLIPPED, &line, &letters[text % 27], 1, nullptr);
        POINT end{};
        GetCurrentPositionEx(frame, &end);
      }
    }
    BitBlt(windowPicture, 0, 0, 798, 598, frame, 0, 0, SRCCOPY);
    InvalidateRect(window, nullptr, FALSE);
    HDC shown = GetDC(window);
    BitBlt(shown, 0, 0, 800, 600, windowPicture, 0, 0, SRCCOPY);
    ReleaseDC(window, shown);
    SelectObject(frame, replacedFont);
    SelectObject(frame, replacedBitmap);
    DeleteDC(frame);
    DeleteObject(bitmap);
    DeleteObject(brush);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
};

INT_PTR CALLBACK PlainDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    // Without its button the dialog could not be answered, and the run would stop there.
    HWND ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10,
                              10, 60, 20, dialog, reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    if (!ok) EndDialog(dialog, IDCANCEL);
    SetFocus(ok);
    return FALSE;
  }
  if (message != WM_COMMAND) return FALSE;
  EndDialog(dialog, LOWORD(wParam));
  return TRUE;
}

void ShowPlainDialog() {
  alignas(4) WORD words[64] = {};
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words);
  header->style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
  header->cx = 120;
  header->cy = 50;
  WORD* at = words + sizeof(DLGTEMPLATE) / sizeof(WORD);
  *at++ = 0;  // no menu
  *at++ = 0;  // the dialog class
  for (const wchar_t c : std::wstring(L"Programador")) *at++ = c;
  *at++ = 0;
  DialogBoxIndirectParamW(nullptr, header, nullptr, PlainDialog, 0);
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? std::atoi(argv[2]) : 2000;
  const std::string modes[] = {"boxes", "stacked", "dialogs", "windows", "frames", "sounds"};
  if (std::find(std::begin(modes), std::end(modes), mode) == std::end(modes) || count < 1) {
    std::fprintf(stderr, "usage: wine_memory boxes|stacked|dialogs|windows|frames|sounds [COUNT]\n");
    return 2;
  }
  std::string arguments = " " + mode;
  if (argc > 2) arguments += std::string(" ") + argv[2];
  const std::string procFolder = OwnProcFolder(arguments);
  if (procFolder.empty()) {
    std::fprintf(stderr, "this process was not found in Z:\\proc\n");
    return 1;
  }
  if (std::getenv("COM")) CoInitialize(nullptr);
  std::atomic<bool> done = false;
  std::thread answerer;
  if (mode == "boxes" || mode == "stacked" || mode == "dialogs")
    answerer = std::thread(AnswerBoxes, std::cref(done));
  FrameMaker* frames = mode == "frames" ? new FrameMaker : nullptr;
  HWND opener = nullptr;
  if (mode == "stacked") {
    WNDCLASSW openerClass{};
    openerClass.lpfnWndProc = BoxOpener;
    openerClass.lpszClassName = L"BoxOpener";
    RegisterClassW(&openerClass);
    opener = CreateWindowExW(0, L"BoxOpener", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  }
  // One step: a thing done once, or for stacked boxes a stack of 1 to 40 of them; how many it did.
  auto step = [&](int n) -> int {
    if (mode == "boxes") {
      MessageBoxW(nullptr, L"GAME OVER", L"Programador", MB_OK);
    } else if (mode == "stacked") {
      const int boxes = 1 + (n * 7919) % 40;
      boxesWanted = boxes;
      for (int i = 0; i < boxes; ++i) PostMessageW(opener, WM_APP, 0, 0);
      Pump();
      return boxes;
    } else if (mode == "dialogs") {
      ShowPlainDialog();
    } else if (mode == "windows") {
      HWND window = CreateWindowExW(0, L"#32770", L"Programador", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100,
                                    100, 200, 100, nullptr, nullptr, nullptr, nullptr);
      Pump();
      DestroyWindow(window);
      Pump();
    } else if (mode == "frames") {
      frames->Make(n);
    } else {
      PlaySoundW(MAKEINTRESOURCEW(303 + n % 2), GetModuleHandleW(nullptr),
                 SND_ASYNC | SND_RESOURCE | SND_NODEFAULT);
      Sleep(100);
    }
    return 1;
  };
  const int every = count >= 10 ? count / 10 : 1;
  Memory first{};
  for (int n = 0, next = 0;;) {
    if (n >= next || n >= count) {
      Sleep(mode == "sounds" ? 5000 : 300);  // a sound's thread and buffers are gone by then
      Pump();
      const Memory now = Measure(procFolder);
      if (n == 0) first = now;
      std::printf(
          "%s %6d: anonymous %7lld KB (%+6lld), Unix heap %6lld KB (%+6lld), Windows heaps %8lld B "
          "(%+lld) in %lld blocks (%+lld)\n",
          mode.c_str(), n, now.anonymousKb, now.anonymousKb - first.anonymousKb, now.unixHeapKb,
          now.unixHeapKb - first.unixHeapKb, now.windowsHeapBytes,
          now.windowsHeapBytes - first.windowsHeapBytes, now.windowsHeapBlocks,
          now.windowsHeapBlocks - first.windowsHeapBlocks);
      std::fflush(stdout);
      while (next <= n) next += every;
    }
    if (n >= count) break;
    n += step(n);
  }
  done = true;
  if (answerer.joinable()) answerer.join();
  return 0;
}

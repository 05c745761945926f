// The end-to-end driver.
#include "tests/e2e/game_driver.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>
#include <thread>

#include "game/letter_pad.h"
#include "game/screen.h"
#include "runtime/canvas/font_table.h"
#include "tools/png_image.h"

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

// A hidden game window of our own, where the expected frames are composed.
void PrepareFrameWindow() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  runtime::resetFontTable();
  test_support::makeGameWindow();
}

Pixels Cropped(const Pixels& frame) {
  Pixels shown;
  shown.width = std::min(frame.width, CanvasWidth);
  shown.height = std::min(frame.height, CanvasHeight);
  for (int32_t y = 0; y < shown.height; ++y)
    for (int32_t x = 0; x < shown.width; ++x) shown.colours.push_back(frame.at(x, y));
  return shown;
}

std::chrono::milliseconds Scaled(int32_t milliseconds) {
  return std::chrono::milliseconds(static_cast<int64_t>(milliseconds) * Slowness());
}

void Pause(int32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

struct BoxSearch {
  DWORD processId;
  HWND mainWindow;
  std::vector<Box> boxes;
};

BOOL CALLBACK CollectBoxText(HWND child, LPARAM parameter) {
  auto& box = *reinterpret_cast<Box*>(parameter);
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  const std::wstring text = TextOf(child);
  // The message is the static text; the OK button's text is not.
  if (std::wstring_view(className) == L"Static" && text.size() > box.text.size()) box.text = text;
  return TRUE;
}

BOOL CALLBACK CollectBox(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<BoxSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (owner == search.processId && window != search.mainWindow && IsWindowVisible(window) &&
      std::wstring_view(className) == L"#32770") {
    Box box{window, TextOf(window), {}};
    EnumChildWindows(window, CollectBoxText, reinterpret_cast<LPARAM>(&box));
    search.boxes.push_back(box);
  }
  return TRUE;
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindGameWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  // Not by its title, which a game short of memory shows without.
  if (owner == search.processId && IsWindowVisible(window) && GetDlgItem(window, game::CanvasId)) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::filesystem::path Program() {
  if (const wchar_t* chosen = _wgetenv(L"LETRAZUL_GAME"); chosen && *chosen) return chosen;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path().parent_path() / "letrazul.exe";
}

int32_t Slowness() {
  const char* text = std::getenv("LETRAZUL_GAME_SLOWNESS");
  const int32_t factor = text ? std::atoi(text) : 1;
  return factor > 1 ? factor : 1;
}

Pixels LastComposedFrame() {
  PrepareFrameWindow();
  return Cropped(test_support::pixelsOf(game::framePicture));
}

Pixels ExpectedFrame(const game::GameState& state, int32_t pressedKey) {
  PrepareFrameWindow();
  const game::GameState saved = game::gameState;
  game::gameState = state;
  if (pressedKey)
    game::PressedKeyFrame(pressedKey);
  else
    game::RefreshScreen();
  game::gameState = saved;
  return Cropped(test_support::pixelsOf(game::framePicture));
}

int32_t Differences(const Pixels& a, const Pixels& b, Area ignored) {
  if (a.width != b.width || a.height != b.height) return a.width * a.height + 1;
  int32_t count = 0;
  for (int32_t y = 0; y < a.height; ++y)
    for (int32_t x = 0; x < a.width; ++x)
      if (!(x >= ignored.left && x < ignored.right && y >= ignored.top && y < ignored.bottom))
        count += a.at(x, y) != b.at(x, y);
  return count;
}

bool SavePicture(const Pixels& pixels, const std::filesystem::path& file) {
  std::vector<uint8_t> rgb;
  rgb.reserve(pixels.colours.size() * 3);
  for (COLORREF c : pixels.colours) rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
  const std::vector<uint8_t> png = tools::encodePng(pixels.width, pixels.height, 3, rgb);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(out);
}

Game::~Game() {
  if (process_.hProcess) {
    if (Running()) {
      for (const Box& box : Boxes()) Answer(box);
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
}

bool Game::Start(const std::filesystem::path& program, const std::filesystem::path& folder,
                 const std::optional<std::string>& wordList) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  // With its parent, whose name carries a time stamp: another test may run the game from a folder of
  // the same name at the same time, in another Wine session.
  folderName_ = (folder.parent_path().filename() / folder.filename()).string();
  const std::filesystem::path copy = folder / "letrazul.exe";
  // An installed game is played where it lies: copying it onto itself would fail.
  const bool inPlace = std::filesystem::equivalent(program, copy, error);
  if (!inPlace && !CopyFileW(program.wstring().c_str(), copy.wstring().c_str(), FALSE)) {
    std::fprintf(stderr, "could not copy the game to %ls: error %lu\n", copy.wstring().c_str(),
                 GetLastError());
    return false;
  }
  if (wordList) {
    std::ofstream out(folder / "dic.txt", std::ios::binary);
    out.write(wordList->data(), static_cast<std::streamsize>(wordList->size()));
  }
  windows_.reset();
  if (const wchar_t* windows = _wgetenv(L"LETRAZUL_GAME_WINDOWS"); windows && *windows) {
    windows_.emplace(copy.filename().wstring(), windows);
    if (!windows_->set()) {
      std::fprintf(stderr, "could not tell Wine to be %ls for the game\n", windows);
      return false;
    }
  }
  // The game writes nothing; what the system libraries print (no sound card, say) is not ours.
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inheritable, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nothing;
  std::wstring commandLine = L"\"" + copy.wstring() + L"\"";
  // A current folder may not be longer than MAX_PATH; the game does not need one.
  const bool created = CreateProcessW(copy.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process_);
  CloseHandle(nothing);
  if (!created) {
    std::fprintf(stderr, "could not start %ls: error %lu\n", copy.wstring().c_str(), GetLastError());
    return false;
  }
  const auto deadline = Clock::now() + Scaled(30000);
  while (Clock::now() < deadline && Running()) {
    WindowSearch search{process_.dwProcessId, nullptr};
    EnumWindows(FindGameWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      window_ = search.found;
      canvas_ = GetDlgItem(window_, game::CanvasId);
      return true;
    }
    Pause(20);
  }
  return false;
}

void Game::Command(uint32_t id) const {
  PostMessageW(window_, WM_COMMAND, id, 0);
}

void Game::Press(int32_t x, int32_t y) const {
  PostToCanvas(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostToCanvas(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Game::PressKey(int32_t k) const {
  Press(KeyX(k), 565);
}

void Game::PressLetter(char letter) const {
  PressKey(KeyOf(letter));
}

void Game::PostToCanvas(UINT message, WPARAM wParam, LPARAM lParam) const {
  PostMessageW(canvas_, message, wParam, lParam);
}

namespace {

// width x height of the screen from (left, top).
Pixels ScreenArea(int32_t left, int32_t top, int32_t width, int32_t height) {
  Pixels pixels;
  pixels.width = width;
  pixels.height = height;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ replaced = SelectObject(memory, section);
  BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
  GdiFlush();
  const auto* quads = static_cast<const uint32_t*>(bits);
  pixels.colours.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (size_t i = 0; i < pixels.colours.size(); ++i)
    pixels.colours[i] = RGB((quads[i] >> 16) & 0xFF, (quads[i] >> 8) & 0xFF, quads[i] & 0xFF);
  SelectObject(memory, replaced);
  DeleteDC(memory);
  DeleteObject(section);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

Pixels Game::Screen() const {
  POINT origin{0, 0};
  ClientToScreen(canvas_, &origin);
  return ScreenArea(origin.x, origin.y, CanvasWidth, CanvasHeight);
}

Pixels Game::WindowScreen() const {
  RECT rect{};
  GetWindowRect(window_, &rect);
  return ScreenArea(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

bool Game::WaitUntilStill(int32_t stillMs, int32_t timeoutMs) const {
  const auto deadline = Clock::now() + Scaled(timeoutMs);
  Pixels last = Screen();
  auto since = Clock::now();
  while (Clock::now() < deadline) {
    Pause(25);
    Pixels now = Screen();
    if (now != last) {
      last = std::move(now);
      since = Clock::now();
    } else if (Clock::now() - since >= std::chrono::milliseconds(stillMs)) {
      return true;
    }
  }
  return false;
}

bool Game::WaitForScreen(const Pixels& expected, const char* name, int32_t timeoutMs, Area ignored) const {
  const auto deadline = Clock::now() + Scaled(timeoutMs);
  Pixels shown;
  do {
    shown = Screen();
    if (Differences(shown, expected, ignored) == 0) return true;
    Pause(20);
  } while (Clock::now() < deadline);
  SavePicture(expected, std::string(name) + "-expected.png");
  SavePicture(shown, std::string(name) + "-shown.png");
  return false;
}

std::vector<Box> Game::Boxes() const {
  BoxSearch search{process_.dwProcessId, window_, {}};
  EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
  // EnumWindows lists the topmost first; the newest box is on top.
  return {search.boxes.rbegin(), search.boxes.rend()};
}

std::optional<Box> Game::WaitForBox(int32_t timeoutMs, const wchar_t* caption) const {
  const auto deadline = Clock::now() + Scaled(timeoutMs);
  do {
    std::vector<Box> boxes = Boxes();
    if (caption) std::erase_if(boxes, [&](const Box& box) { return box.caption != caption; });
    if (!boxes.empty() && !boxes.back().text.empty()) return boxes.back();
    Pause(20);
  } while (Clock::now() < deadline);
  return std::nullopt;
}

Area Game::AreaOf(const Box& box) const {
  RECT rect{};
  GetWindowRect(box.window, &rect);
  POINT origin{0, 0};
  ClientToScreen(canvas_, &origin);
  return {rect.left - origin.x, rect.top - origin.y, rect.right - origin.x, rect.bottom - origin.y};
}

void Game::Answer(const Box& box) {
  PostMessageW(box.window, WM_COMMAND, IDOK, 0);
}

bool Game::Close(const Box& box) {
  Answer(box);
  // Returning at once would let the next step of a script find this box still shown and take it
  // for the box that step opens.
  const auto deadline = Clock::now() + Scaled(15000);
  while (IsWindowVisible(box.window)) {
    if (Clock::now() >= deadline) return false;
    Pause(5);
  }
  return true;
}

namespace {

// A process of the machine may end while its files are read: reading them then fails, and the
// stream buffer throws, which the caller takes for "not this process".
std::string WholeFile(const std::filesystem::path& file) {
  try {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    return {};
  }
}

}  // namespace

int64_t Game::ResidentBytes() const {
  // Wine shows Linux's own files on drive Z:; the game's process is the one whose command line
  // names the program in its folder.
  std::error_code error;
  for (std::filesystem::directory_iterator entries("Z:\\proc", error), end; !error && entries != end;
       entries.increment(error)) {
    const std::filesystem::path& folder = entries->path();
    const std::string name = folder.filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (WholeFile(folder / "cmdline").find(folderName_ + "\\letrazul.exe") == std::string::npos) continue;
    std::ifstream status(folder / "status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("RssAnon:", 0) == 0) return std::stoll(line.substr(8)) * 1024;
  }
  return -1;
}

int32_t Game::Bits() const {
  BOOL wow64 = FALSE;
  return IsWow64Process(process_.hProcess, &wow64) && wow64 ? 32 : 64;
}

bool Game::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Game::WaitForExit(int32_t timeoutMs) const {
  if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(Scaled(timeoutMs).count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

int32_t KeyX(int32_t k) {
  int32_t first = -1, last = -1;
  for (int32_t x = 0; x < CanvasWidth; ++x)
    if (game::HitTestKey(static_cast<uint32_t>(x)) == k) {
      if (first < 0) first = x;
      last = x;
    }
  return (first + last) / 2;
}

int32_t KeyOf(char letter) {
  const std::string_view letters = "abcdefghijklmn\xF1opqrstuvwxyz";
  return static_cast<int32_t>(letters.find(letter)) + 1;
}

}  // namespace e2e

// The real game under a hail of random window messages from another process: system, control and
// application messages, menu messages with real and made-up menus and ids, posted and sent, with
// parameters that are null, small numbers, handles of the wrong kind or pointers to nowhere. The
// game must neither crash nor hang, must answer the boxes its own commands open, and must then play
// a short round exactly as it should and end with exit code 0.
//   LETRAZUL_HOSTILE_SEED replays a run (each run prints its seed); LETRAZUL_HOSTILE_MESSAGES sets
//   the number of messages (20,000 unless given).
#include <windows.h>

#include <dde.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "game/rules.h"
#include "game/screen.h"
#include "game/word_list.h"
#include "shell/main_dialog.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/shown_state.h"
#include "tests/support/temp_folder.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto Shown = test_support::ShownState;

// A sent message gets this long before it counts as timed out; a game that does not answer a
// WM_NULL within the longer time is hung.
constexpr UINT sendTimeoutMs = 250, hangTimeoutMs = 10000;

// The seed given, or the seeds that once found a fault, each more than once as what they find may
// depend on timing, and then a new one.
std::vector<uint32_t> Seeds() {
  if (const char* text = std::getenv("LETRAZUL_HOSTILE_SEED"); text && *text)
    return {static_cast<uint32_t>(std::strtoul(text, nullptr, 10))};
  // 2237888132: a box ended while a press sent from elsewhere ran in its loop, which then dropped
  // the next posted message, "Nueva Partida".
  std::vector<uint32_t> seeds(3, 2237888132u);
  seeds.push_back(static_cast<uint32_t>(std::random_device()() ^ Clock::now().time_since_epoch().count()));
  return seeds;
}

int32_t MessageCount() {
  const char* text = std::getenv("LETRAZUL_HOSTILE_MESSAGES");
  return text && *text ? std::atoi(text) : 20000;
}

struct Message {
  HWND target = nullptr;
  UINT id = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool send = false;
};

std::string Describe(const Message& m, const Game& game) {
  char text[160];
  std::snprintf(text, sizeof(text), "%s 0x%04X to the %s, wParam 0x%" PRIx64 ", lParam 0x%" PRIx64,
                m.send ? "sent" : "posted", m.id, m.target == game.canvas() ? "Canvas" : "window",
                static_cast<uint64_t>(m.wParam), static_cast<uint64_t>(m.lParam));
  return text;
}

// Whether the point a context menu would be shown at lies on the window's frame, caption or menu
// bar, where the system's own context menu is the system menu.
bool OnTheFrame(HWND window, POINT screen) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return PtInRect(&outer, screen) && !PtInRect(&client, screen);
}

POINT PointOf(LPARAM lParam) {
  return {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
}

// Why a message is not thrown at the game, or null when it may be. Left out are only what ends the
// program or is meant to close it, and what starts one of the system's modal loops that wait for
// the mouse or the keyboard: a player ends those, and this test moves no mouse and presses no keys.
const char* Excluded(const Message& m, const Game& game) {
  switch (m.id) {
    case WM_CLOSE:
    case WM_QUIT:
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
      return "ends the program";
    // The notices of the window's end, which only the system sends as it destroys the window; the
    // test below forges them on purpose.
    case WM_DESTROY:
    case WM_NCDESTROY:
      return "tells of the window's end";
    case WM_COMMAND:
      return LOWORD(m.wParam) == shell::QuitCommand ? "ends the program" : nullptr;
    case WM_SYSCOMMAND:
      switch (m.wParam & 0xFFF0) {
        case SC_CLOSE:
          return "ends the program";
        // Moving and sizing follow the mouse until its button is let go; the menus, the scroll
        // bars and the help pointer wait for a click or a key.
        case SC_MOVE:
        case SC_SIZE:
        case SC_KEYMENU:
        case SC_MOUSEMENU:
        case SC_HSCROLL:
        case SC_VSCROLL:
        case SC_CONTEXTHELP:
          return "starts a modal loop";
        // Starts another program, whose window would stand on the shared screen.
        case SC_TASKLIST:
          return "starts another program";
        default:
          return nullptr;
      }
    // A press on the caption, a border, the menu bar or a caption button starts the loops above.
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
      return "starts a modal loop";
    // Alt with F4 closes the window; Alt, F10 and Alt with the space bar or a letter open the menu
    // bar or the system menu.
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_SYSDEADCHAR:
      return "closes the window or starts the menu loop";
    case WM_KEYDOWN:
    case WM_KEYUP:
      return m.wParam == VK_F10 ? "starts the menu loop" : nullptr;
    // A context menu asked for on the caption is the system menu, shown in a loop of its own; the
    // right button's release asks for one at its point.
    case WM_CONTEXTMENU:
    case WM_NCRBUTTONUP:
      return OnTheFrame(game.window(), PointOf(m.lParam)) ? "starts a modal loop" : nullptr;
    case WM_RBUTTONUP: {
      POINT at = PointOf(m.lParam);
      ClientToScreen(m.target, &at);
      return OnTheFrame(game.window(), at) ? "starts a modal loop" : nullptr;
    }
    default:
      return nullptr;
  }
}

class Thrower {
 public:
  Thrower(uint32_t seed, const Game& game)
      : random_(seed), game_(game), bar_(GetMenu(game.window())), popup_(GetSubMenu(bar_, 0)) {}

  Message Next() {
    for (;;) {
      Message m = Draw();
      if (const char* reason = Excluded(m, game_)) {
        ++left_out[reason];
        continue;
      }
      if (m.send || (m.id >= WM_DDE_FIRST && m.id <= WM_DDE_LAST)) KeepToOwnScratch(m);
      return m;
    }
  }

  std::map<std::string, int32_t> left_out;

 private:
  // To carry a message that holds pointers to another process, the system reads and writes through
  // them in the sending process, this one: a structure, or as many items as wParam says, and the
  // answer written back. What it would find here must be this process's scratch area, a small
  // block of random bytes, never its own data; a pointer to nowhere fails the call, and the game
  // gets none of it. Wine passes each such block through a pipe to its server, and ends a process
  // whose write is cut short by a signal, which a pipe never does to a write of at most 4,096 bytes;
  // so the blocks stay that small: the scratch area holds 1 KB, whichever of the two parameters
  // points into it, and wParam, the number of items for several of these messages, is held below
  // 4,096.
  void KeepToOwnScratch(Message& m) {
    if (!Carried(m)) return;
    if (m.send) m.wParam &= 0xFFF;
    for (auto* value : {&m.wParam, reinterpret_cast<WPARAM*>(&m.lParam)}) {
      MEMORY_BASIC_INFORMATION region{};
      // Where in the area follows from the value, so a replay draws the same messages after it.
      if (VirtualQuery(reinterpret_cast<const void*>(*value), &region, sizeof(region)) &&
          region.State == MEM_COMMIT)
        *value = reinterpret_cast<WPARAM>(scratch_.start + *value % scratch_.size);
    }
  }

  // The system carries to another process only what it refuses to post, which it tells this
  // process as readily; dynamic data exchange is carried when posted.
  static bool Carried(const Message& m) {
    if (m.id >= WM_DDE_FIRST && m.id <= WM_DDE_LAST) return true;
    SetLastError(0);
    if (PostThreadMessageW(GetCurrentThreadId(), m.id, m.wParam, m.lParam)) {
      MSG taken;
      while (PeekMessageW(&taken, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) {
      }
      return false;
    }
    return GetLastError() == ERROR_MESSAGE_SYNC_ONLY;
  }

  // 1 KB of random bytes at the end of a page, before an inaccessible one, so that reading or
  // writing past it fails instead of reaching anything else.
  struct ScratchArea {
    uint8_t* start = nullptr;
    uint32_t size = 1 << 10;
  };
  static ScratchArea MakeScratch(std::mt19937_64& random) {
    constexpr SIZE_T page = 4096;
    ScratchArea area;
    void* reserved = VirtualAlloc(nullptr, page * 2, MEM_RESERVE, PAGE_NOACCESS);
    auto* committed = static_cast<uint8_t*>(VirtualAlloc(reserved, page, MEM_COMMIT, PAGE_READWRITE));
    area.start = committed ? committed + page - area.size : nullptr;
    for (uint32_t i = 0; area.start && i < area.size; ++i) area.start[i] = static_cast<uint8_t>(random());
    return area;
  }

  int32_t Roll(int32_t below) { return std::uniform_int_distribution<int32_t>(0, below - 1)(random_); }
  uint64_t Bits() { return random_(); }

  // A parameter: null, a small number, a pointer to nowhere, any 32 or 64 bits, one of the game's
  // own handles where another kind of thing is expected, or a point on or around the window.
  uint64_t Value() {
    static constexpr uint64_t nowhere[] = {0x10,       0xDEAD0000, ~uint64_t{0},       0xFFFFFFFF,
                                           0x7FFFFFFF, 0x80000000, 0x8000000000000000, 0x00007FFFFFFF0000};
    switch (Roll(8)) {
      case 0:
        return 0;
      case 1:
        return static_cast<uint64_t>(Roll(1024));
      case 2:
        return nowhere[Roll(std::size(nowhere))];
      case 3:
        return Bits() & 0xFFFFFFFF;
      case 4:
        return Bits();
      case 5: {
        const HANDLE handles[] = {game_.window(), game_.canvas(), bar_, popup_, GetDesktopWindow()};
        return reinterpret_cast<uint64_t>(handles[Roll(std::size(handles))]);
      }
      default:
        return static_cast<uint32_t>(MAKELPARAM(Roll(1000) - 50, Roll(800) - 50));
    }
  }

  HMENU Menu() {
    switch (Roll(4)) {
      case 0:
        return bar_;
      case 1:
        return popup_;
      default:
        return reinterpret_cast<HMENU>(Value());
    }
  }

  // An item of the menu or any other id.
  uint32_t MenuId() {
    static constexpr uint32_t ids[] = {
        shell::NewGameCommand, shell::AuthorCommand, game::CanvasId, IDOK, IDCANCEL, 0, 1, 2};
    return Roll(3) ? ids[Roll(std::size(ids))] : static_cast<uint32_t>(Roll(0x10000));
  }

  // What the menu's owner is told about its menus and commands.
  Message MenuMessage() {
    Message m{game_.window()};
    switch (Roll(12)) {
      case 0:
        m.id = WM_COMMAND;
        m.wParam = MAKEWPARAM(MenuId(), Roll(2) ? Roll(2) : Roll(0x10000));
        m.lParam = Roll(2) ? 0 : static_cast<LPARAM>(Value());
        break;
      case 1:
        m.id = WM_MENUSELECT;
        m.wParam = MAKEWPARAM(MenuId(), Roll(0x10000));
        m.lParam = reinterpret_cast<LPARAM>(Menu());
        break;
      case 2:
        m.id = WM_INITMENU;
        m.wParam = reinterpret_cast<WPARAM>(Menu());
        break;
      case 3:
        m.id = Roll(2) ? WM_INITMENUPOPUP : WM_UNINITMENUPOPUP;
        m.wParam = reinterpret_cast<WPARAM>(Menu());
        m.lParam = MAKELPARAM(Roll(8), Roll(2));
        break;
      case 4:
        m.id = WM_MENUCOMMAND;
        m.wParam = Roll(2) ? Roll(8) : Value();
        m.lParam = reinterpret_cast<LPARAM>(Menu());
        break;
      case 5:
        m.id = WM_MENUCHAR;
        m.wParam = MAKEWPARAM(Roll(256), Roll(2) ? MF_POPUP : MF_SYSMENU);
        m.lParam = reinterpret_cast<LPARAM>(Menu());
        break;
      case 6:
        m.id = Roll(2) ? WM_MENURBUTTONUP : WM_MENUDRAG;
        m.wParam = Roll(8);
        m.lParam = reinterpret_cast<LPARAM>(Menu());
        break;
      case 7:
        m.id = Roll(2) ? WM_ENTERMENULOOP : WM_EXITMENULOOP;
        m.wParam = Roll(2);
        break;
      case 8:
        m.id = Roll(2) ? WM_MENUGETOBJECT : WM_NEXTMENU;
        m.wParam = Value();
        m.lParam = static_cast<LPARAM>(Value());
        break;
      case 9: {
        static constexpr WPARAM commands[] = {SC_MINIMIZE,     SC_MAXIMIZE,   SC_RESTORE,  SC_NEXTWINDOW,
                                              SC_PREVWINDOW,   SC_HOTKEY,     SC_ARRANGE,  SC_DEFAULT,
                                              SC_MONITORPOWER, SC_SCREENSAVE, SC_CLOSE,    SC_MOVE,
                                              SC_SIZE,         SC_KEYMENU,    SC_MOUSEMENU};
        m.id = WM_SYSCOMMAND;
        m.wParam = Roll(4) ? commands[Roll(std::size(commands))] | Roll(16) : Value();
        m.lParam = static_cast<LPARAM>(Value());
        break;
      }
      case 10:
        m.id = WM_CANCELMODE;
        break;
      default:
        m.id = 0x01E0 + Roll(16);  // the MN_ messages of the menus' own windows
        m.wParam = Value();
        m.lParam = static_cast<LPARAM>(Value());
        break;
    }
    return m;
  }

  Message Draw() {
    Message m;
    const int32_t kind = Roll(1000);
    if (kind < 150) {
      m = MenuMessage();
    } else if (kind < 155) {
      // A real press on the pad, so that frames are drawn while the rest arrives.
      m = {game_.canvas(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(KeyX(1 + Roll(27)), 550 + Roll(30))};
    } else {
      m.target = Roll(2) ? game_.window() : game_.canvas();
      if (kind < 800)
        m.id = static_cast<UINT>(Roll(WM_USER));
      else if (kind < 900)
        m.id = WM_USER + static_cast<UINT>(Roll(4) ? Roll(0x100) : Roll(0x8000 - WM_USER));
      else if (kind < 970)
        m.id = WM_APP + static_cast<UINT>(Roll(0xC000 - WM_APP));
      else
        m.id = 0xC000 + static_cast<UINT>(Roll(0x4000));  // registered by name
      m.wParam = Value();
      m.lParam = static_cast<LPARAM>(Value());
    }
    m.send = Roll(2);
    return m;
  }

  std::mt19937_64 random_;
  ScratchArea scratch_ = MakeScratch(random_);
  const Game& game_;
  HMENU bar_ = nullptr, popup_ = nullptr;
};

// Answers every box the game shows; how many it answered.
int32_t AnswerBoxes(const Game& game) {
  int32_t answered = 0;
  for (const Box& box : game.Boxes()) {
    EXPECT_TRUE(Game::Close(box)) << "a box did not take its OK";
    ++answered;
  }
  return answered;
}

bool Answers(const Game& game) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(game.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, hangTimeoutMs, &result) != 0;
}

// A word list whose every line is "sol", so every word chosen is known.
std::string SolOnly() {
  std::string list;
  for (int32_t i = 0; i < game::UsableLines; ++i) list += "sol\r\n";
  return list;
}

// How a game that failed the test ended, or that it did not.
std::string Fate(const Game& game) {
  const auto code = game.WaitForExit(0);
  if (!code) return "gave no answer within 10 seconds";
  char text[48];
  std::snprintf(text, sizeof(text), "ended with code 0x%lX", *code);
  return text;
}

void SurviveAndPlay(uint32_t seed) {
  const int32_t count = MessageCount();
  std::printf("hostile: seed %" PRIu32 " (LETRAZUL_HOSTILE_SEED=%" PRIu32 " replays it), %d messages\n", seed,
              seed, count);
  std::fflush(stdout);
  SCOPED_TRACE("seed " + std::to_string(seed));

  test_support::TempFolder temp;
  Game game;
  ASSERT_TRUE(game.Start(Program(), temp.path() / ("hostile-" + std::to_string(seed)), SolOnly()));
  ASSERT_TRUE(game.WaitForScreen(ExpectedFrame(game::GameState()), "hostile-start"));

  Thrower thrower(seed, game);
  std::deque<std::string> lastFew;
  int32_t posted = 0, sent = 0, timedOut = 0, boxesAnswered = 0;
  std::map<DWORD, int32_t> postRefused, sendFailed;
  std::map<UINT, int32_t> timedOutMessages;
  const auto start = Clock::now();
  for (int32_t i = 0; i < count; ++i) {
    const Message m = thrower.Next();
    lastFew.push_back(Describe(m, game));
    if (lastFew.size() > 20) lastFew.pop_front();
    bool timedOutNow = false;
    SetLastError(0);
    if (m.send) {
      ++sent;
      DWORD_PTR result = 0;
      if (!SendMessageTimeoutW(m.target, m.id, m.wParam, m.lParam, SMTO_ABORTIFHUNG, sendTimeoutMs,
                               &result)) {
        const DWORD error = GetLastError();
        ++sendFailed[error];
        timedOutNow = error == ERROR_TIMEOUT;
        timedOut += timedOutNow;
        if (timedOutNow) ++timedOutMessages[m.id];
      }
    } else {
      ++posted;
      if (!PostMessageW(m.target, m.id, m.wParam, m.lParam)) ++postRefused[GetLastError()];
    }
    if (!game.Running() || ((timedOutNow || i % 500 == 499) && !Answers(game))) {
      std::string history;
      for (const std::string& line : lastFew) history += "\n  " + line;
      FAIL() << "after message " << i + 1 << " the game " << Fate(game) << "; the last messages:" << history;
    }
    if (i % 50 == 49) boxesAnswered += AnswerBoxes(game);
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  std::printf("hostile: %d posted, %d sent in %.1f s; %d sends timed out; %d boxes answered\n", posted, sent,
              seconds, timedOut, boxesAnswered);
  for (const auto& [error, times] : postRefused)
    std::printf("  posts refused with error %lu: %d\n", error, times);
  // Wine's SendMessageTimeout also returns 0, with no error, for some messages the game answered 0.
  for (const auto& [error, times] : sendFailed)
    std::printf("  sends returning 0 with error %lu: %d\n", error, times);
  for (const auto& [id, times] : timedOutMessages) std::printf("  timed out: 0x%04X %d times\n", id, times);
  for (const auto& [reason, times] : thrower.left_out)
    std::printf("  left out (%s): %d\n", reason.c_str(), times);

  // The game is left in no system loop that would take the round's input.
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  const DWORD gameThread = GetWindowThreadProcessId(game.window(), nullptr);
  ASSERT_TRUE(GetGUIThreadInfo(gameThread, &gui));
  EXPECT_EQ(gui.flags & (GUI_INMENUMODE | GUI_INMOVESIZE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE), 0u);

  // Whatever the messages did to the window is undone as a player would: shown at its size, drawn
  // again, every box answered. Then everything still on its way has arrived once the Canvas stays
  // still with no box open.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(game.window(), WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, hangTimeoutMs, &result);
  for (HWND window : {game.window(), game.canvas()})
    SendMessageTimeoutW(window, WM_SETREDRAW, TRUE, 0, SMTO_ABORTIFHUNG, hangTimeoutMs, &result);
  RedrawWindow(game.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  bool settled = false;
  while (!settled && Clock::now() < deadline) {
    boxesAnswered += AnswerBoxes(game);
    settled = game.WaitUntilStill(500) && game.Boxes().empty();
  }
  ASSERT_TRUE(settled) << "the game did not settle";
  ASSERT_TRUE(Answers(game));

  // A short round on a list of "sol" only: a new game, a letter found, a miss, the word solved.
  game.Command(shell::NewGameCommand);
  EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(Shown("---", "", 3, 0, 0, "")), "hostile-new-game"));
  game.PressLetter('s');
  EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(Shown("s--", "", 3, 0, 0, "")), "hostile-found"));
  game.PressLetter('x');
  EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(Shown("s--", "", 3, 1, 0, "x ")), "hostile-miss"));
  game.PressLetter('o');
  game.PressLetter('l');
  EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(Shown("---", "sol", 3, 0, 1, "")), "hostile-solved"));
  EXPECT_TRUE(game.Boxes().empty());

  game.Command(shell::QuitCommand);
  const auto code = game.WaitForExit();
  ASSERT_TRUE(code) << "the game did not end";
  EXPECT_EQ(*code, 0u);
}

TEST(HostileMessages, TheGameSurvivesThemAndThenPlaysAsItShould) {
  for (uint32_t seed : Seeds()) {
    SurviveAndPlay(seed);
    if (HasFatalFailure()) return;
  }
}

// Messages that only a forger sends, posted and sent on purpose. A timer message names the procedure
// that dispatching it calls, and another process can name any: here ExitProcess, which the system
// libraries have at the same address in every process. The notices of a window's making and end
// come from the system only as it makes or destroys the window. The game calls no procedure, from
// its own loops or from a message box's, and opens and closes nothing; it plays on and quits as
// before.
TEST(HostileMessages, MessagesOnlyAForgerSendsDoNothing) {
  test_support::TempFolder temp;
  Game game;
  ASSERT_TRUE(game.Start(Program(), temp.path() / "forged", SolOnly()));
  const auto exitProcess =
      reinterpret_cast<LPARAM>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "ExitProcess"));
  ASSERT_NE(exitProcess, 0);
  auto forge = [&] {
    constexpr UINT systemTimer = 0x0118;  // WM_SYSTIMER, the system's own timers
    for (HWND target : {game.window(), game.canvas()}) {
      DWORD_PTR result = 0;
      for (UINT message : {static_cast<UINT>(WM_TIMER), systemTimer}) {
        EXPECT_TRUE(PostMessageW(target, message, 1, exitProcess));
        SendMessageTimeoutW(target, message, 1, exitProcess, SMTO_ABORTIFHUNG, hangTimeoutMs, &result);
      }
      for (UINT notice : {WM_INITDIALOG, WM_DESTROY, WM_NCDESTROY}) {
        EXPECT_TRUE(PostMessageW(target, notice, 0, 0));
        SendMessageTimeoutW(target, notice, 0, 0, SMTO_ABORTIFHUNG, hangTimeoutMs, &result);
      }
    }
  };

  game.Command(shell::NewGameCommand);
  EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(Shown("---", "", 3, 0, 0, "")), "forged-new-game"));
  game.Command(shell::AuthorCommand);
  const auto box = game.WaitForBox(15000, L"Programador ...");
  ASSERT_TRUE(box);
  forge();
  // Posted messages arrive in order, so the forged ones have been dispatched once the press shows.
  game.PressLetter('s');
  EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(Shown("s--", "", 3, 0, 0, "")), "forged-behind-the-box", 15000,
                                 game.AreaOf(*box)));
  ASSERT_TRUE(game.Running()) << "a forged message under the box ended the game";
  EXPECT_TRUE(Game::Close(*box));
  forge();
  game.PressLetter('x');
  EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(Shown("s--", "", 3, 1, 0, "x ")), "forged-miss"));
  ASSERT_TRUE(game.Running()) << "a forged message ended the game";

  game.Command(shell::QuitCommand);
  const auto code = game.WaitForExit();
  ASSERT_TRUE(code) << "the game did not end";
  EXPECT_EQ(*code, 0u);
}

}  // namespace
}  // namespace e2e

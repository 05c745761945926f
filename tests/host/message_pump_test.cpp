// doEvents against a real message queue: one message per call, dialog keys and accelerators
// handled by the active dialog, and a sleep when nothing is waiting.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "runtime/host/dialog_host.h"
#include "runtime/host/host_state.h"
#include "runtime/host/message_guard.h"
#include "runtime/host/message_pump.h"
#include "runtime/text/error_code.h"

namespace runtime {
namespace {

std::vector<UINT> appMessages;   // WM_APP + n received by the plain window, as n
std::vector<HWND> keysReceived;  // buttons whose own procedure saw a WM_KEYDOWN
std::vector<WPARAM> commands;    // WM_COMMAND wParams the dialog saw
std::vector<WPARAM> timers;      // WM_TIMER ids the plain window saw
int32_t timerProcedureCalls = 0;
WNDPROC buttonProc = nullptr;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) appMessages.push_back(message - WM_APP);
  if (message == WM_TIMER) timers.push_back(wParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK CountingButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) keysReceived.push_back(window);
  return CallWindowProcW(buttonProc, window, message, wParam, lParam);
}

void CALLBACK CountingTimerProcedure(HWND, UINT, UINT_PTR, DWORD) {
  ++timerProcedureCalls;
}

INT_PTR RecordingCallback(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND) commands.push_back(wParam);
  return 0;
}

void drainQueue() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// The windows are made once for all tests: under Wine, destroying a shown window takes seconds.
class MessagePumpTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    countBeforeAnyDialog = doEvents(1);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LetrazulPumpTest";
    RegisterClassW(&windowClass);
    plain = CreateWindowExW(0, L"LetrazulPumpTest", L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
    // A dialog with two tab stops, shown so that TAB can move between them.
    dialog = makeDialog();
    for (int i = 0; i < 2; ++i) {
      buttons[i] = CreateWindowExW(0, L"BUTTON", L"B", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10 + 60 * i, 10,
                                   50, 25, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(101 + i)),
                                   windowClass.hInstance, nullptr);
      buttonProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(buttons[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingButtonProc)));
    }
    ShowWindow(dialog, SW_SHOW);
  }

  static void TearDownTestSuite() {
    endDialog(dialog, 0);
    DestroyWindow(plain);
    drainQueue();
  }

  // A host dialog whose messages reach the recording callback.
  static HWND makeDialog() {
    HWND made = createDialog(DialogUnits::pixels, nullptr, ByteString("Prueba"), 0, 0, 300, 200, 0, 0);
    updateRecord(made, [](WindowRecord& record) { record.callback = RecordingCallback; });
    return made;
  }

  void SetUp() override {
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(dialog, nullptr);
    SetFocus(buttons[0]);
    drainQueue();
    appMessages.clear();
    keysReceived.clear();
    commands.clear();
  }

  void TearDown() override {
    setDialogAccelerators(dialog, nullptr);
    activeDialog = nullptr;
  }

  static inline int32_t countBeforeAnyDialog = -1;
  static inline HWND plain = nullptr;
  static inline HWND dialog = nullptr;
  static inline HWND buttons[2] = {};
};

TEST_F(MessagePumpTest, AnEmptyQueueSleepsAndReportsTheOpenDialogs) {
  LARGE_INTEGER frequency, before, after;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&before);
  EXPECT_EQ(countBeforeAnyDialog, 0) << "no host dialog was open yet";
  EXPECT_EQ(doEvents(1), 1) << "the one host dialog is open";
  QueryPerformanceCounter(&after);
  EXPECT_GE(after.QuadPart - before.QuadPart, frequency.QuadPart / 2000) << "it slept";
}

// A wait below 0 would be Windows' endless wait; it is refused as no wait at all, and a waiting
// message is still handled.
TEST_F(MessagePumpTest, ANegativeWaitIsRefusedAndDoesNotWait) {
  errorCode = 0;
  EXPECT_EQ(doEvents(-1), 1);
  EXPECT_EQ(errorCode, error::illegalCall);
  errorCode = 0;
  PostMessageW(plain, WM_APP + 4, 0, 0);
  EXPECT_EQ(doEvents(INT32_MIN), 1);
  EXPECT_EQ(errorCode, error::illegalCall);
  EXPECT_EQ(appMessages, (std::vector<UINT>{4}));
}

TEST_F(MessagePumpTest, HandlesExactlyOneQueuedMessagePerCall) {
  for (UINT n : {1u, 2u, 3u}) PostMessageW(plain, WM_APP + n, 0, 0);
  doEvents(1);
  EXPECT_EQ(appMessages, (std::vector<UINT>{1}));
  doEvents(1);
  EXPECT_EQ(appMessages, (std::vector<UINT>{1, 2}));
  doEvents(1);
  doEvents(1);  // the queue is empty again: nothing more arrives
  EXPECT_EQ(appMessages, (std::vector<UINT>{1, 2, 3}));
}

TEST_F(MessagePumpTest, TheActiveDialogTakesItsNavigationKeys) {
  activeDialog = dialog;
  PostMessageW(buttons[0], WM_KEYDOWN, VK_TAB, 0);
  doEvents(1);
  EXPECT_EQ(GetFocus(), buttons[1]) << "TAB moved the focus";
  EXPECT_TRUE(keysReceived.empty()) << "and was not dispatched a second time";

  // With no active dialog the same key is an ordinary message for its window.
  activeDialog = nullptr;
  PostMessageW(buttons[1], WM_KEYDOWN, VK_TAB, 0);
  doEvents(1);
  EXPECT_EQ(GetFocus(), buttons[1]);
  EXPECT_EQ(keysReceived, (std::vector<HWND>{buttons[1]}));
}

TEST_F(MessagePumpTest, TheActiveDialogsAcceleratorsComeFirst) {
  ACCEL newGame{FVIRTKEY, 'N', 1002};
  HACCEL table = CreateAcceleratorTableW(&newGame, 1);
  ASSERT_NE(table, nullptr);
  setDialogAccelerators(dialog, table);
  activeDialog = dialog;
  PostMessageW(buttons[0], WM_KEYDOWN, 'N', 0);
  doEvents(1);
  EXPECT_EQ(commands, (std::vector<WPARAM>{MAKEWPARAM(1002, 1)}));
  EXPECT_TRUE(keysReceived.empty());
  setDialogAccelerators(dialog, nullptr);
  DestroyAcceleratorTable(table);
}

TEST_F(MessagePumpTest, AnActiveDialogThatIsGoneIsPassedOver) {
  activeDialog = makeDialog();
  endDialog(activeDialog, 0);
  PostMessageW(plain, WM_APP + 7, 0, 0);
  doEvents(1);
  EXPECT_EQ(appMessages, (std::vector<UINT>{7}));
}

constexpr UINT systemTimer = 0x0118;  // WM_SYSTIMER

// Another process may post a timer message naming any procedure; once guarded, the thread calls none
// of them and passes on to the next message, and its own timers still arrive. A timer the thread
// set with a procedure is still called where the system checks the procedure itself.
TEST_F(MessagePumpTest, GuardedTimerMessagesCallNoProcedureTheyName) {
  ASSERT_TRUE(guardThreadMessages());
  timerProcedureCalls = 0;
  const auto named = reinterpret_cast<LPARAM>(CountingTimerProcedure);
  for (UINT message : {static_cast<UINT>(WM_TIMER), systemTimer}) PostMessageW(plain, message, 1, named);
  PostThreadMessageW(GetCurrentThreadId(), WM_TIMER, 1, named);
  PostMessageW(plain, WM_APP + 9, 0, 0);
  for (int i = 0; i < 4; ++i) doEvents(1);
  EXPECT_EQ(timerProcedureCalls, 0);
  EXPECT_EQ(appMessages, (std::vector<UINT>{9}));

  timers.clear();
  SetTimer(plain, 7, 1, nullptr);
  SetTimer(plain, 8, 1, CountingTimerProcedure);
  for (int i = 0; i < 200 && (timers.empty() || timerProcedureCalls == 0); ++i) doEvents(1);
  KillTimer(plain, 7);
  KillTimer(plain, 8);
  ASSERT_FALSE(timers.empty());
  EXPECT_EQ(timers[0], 7u);
  EXPECT_EQ(timerProcedureCalls > 0, !screensTimerMessages(WM_TIMER));
  releaseMessageGuard();
}

// The check made as the guard is set tells what the system does with a timer message naming a
// procedure the thread never set, for each kind of timer message; it calls no procedure but its
// own, though others wait in the queue, and drops those.
TEST(MessageGuard, TheTimerCheckTellsWhatTheSystemDoesAndCallsNothingElse) {
  const UINT kinds[] = {WM_TIMER, systemTimer};
  bool called[2] = {}, screened[2] = {}, queuedLeft = true;
  int32_t callsWhileGuarding = -1;
  std::thread([&] {
    const auto named = reinterpret_cast<LPARAM>(CountingTimerProcedure);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    for (int k : {0, 1}) {
      timerProcedureCalls = 0;
      PostThreadMessageW(GetCurrentThreadId(), kinds[k], 1, named);
      while (PeekMessageW(&message, reinterpret_cast<HWND>(-1), kinds[k], kinds[k], PM_REMOVE))
        DispatchMessageW(&message);
      called[k] = timerProcedureCalls > 0;
    }
    timerProcedureCalls = 0;
    for (UINT kind : kinds) PostThreadMessageW(GetCurrentThreadId(), kind, 1, named);
    guardThreadMessages();
    callsWhileGuarding = timerProcedureCalls;
    queuedLeft = PeekMessageW(&message, reinterpret_cast<HWND>(-1), WM_TIMER, systemTimer, PM_NOREMOVE);
    for (int k : {0, 1}) screened[k] = screensTimerMessages(kinds[k]);
    releaseMessageGuard();
  }).join();
  EXPECT_EQ(callsWhileGuarding, 0) << "the check called a procedure another process named";
  EXPECT_FALSE(queuedLeft);
  for (int k : {0, 1}) EXPECT_EQ(screened[k], called[k]) << "timer message 0x" << std::hex << kinds[k];
}

}  // namespace
}  // namespace runtime

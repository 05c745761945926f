// The real game played while one kind of system call fails: its n-th call alone, or every call from
// the n-th on, for n over the calls a scripted game makes of that kind (start-up, "Autor", a new
// game, ten solved words, a lost word, a lost game, "Salir del programa"). The game must never
// crash or hang; a fault while it starts may end it with 255; once a passing fault is over, a new
// game shows exactly the frames the rules give; and "Salir del programa" ends it with 0.
//   LETRAZUL_FAULT_SWEEP=full  make faults: every call of a kind that makes at most 64, else 64
//                              spread evenly from its first to its last, each failing once and from
//                              there on; else (make test) the middle call of the quick kinds, once
//   LETRAZUL_FAULT_SPREAD=n    in the full sweep, at most n calls of a kind instead of 64
//   LETRAZUL_FAULT_KINDS=a,b   only the kinds named (as the table names them, spaces as dashes)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/rules.h"
#include "game/word_list.h"
#include "shell/pad_press.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/injected_faults.h"
#include "tests/support/recording_requests.h"
#include "tests/support/temp_folder.h"

namespace e2e {
namespace {

using runtime::systemCallKinds;
using test_support::FaultPlan;

constexpr uint32_t newGame = 1002, author = 1007, quit = 1005;

struct CallKind {
  const char* name;
  DWORD error;  // what a failed call of the kind leaves as the last error
  // In make test's short sweep: the kinds whose failures the game itself must ride out, and those
  // that fail start-up, which cost a second each.
  bool quick;
};

// In the order of runtime::SystemCall.
constexpr CallKind callKinds[] = {{"file open", ERROR_SHARING_VIOLATION, true},
                                  {"file read", ERROR_READ_FAULT, true},
                                  {"file seek", ERROR_SEEK, false},
                                  {"file type", ERROR_INVALID_HANDLE, false},
                                  {"file find", ERROR_ACCESS_DENIED, false},
                                  {"device context", ERROR_NOT_ENOUGH_MEMORY, false},
                                  {"bitmap or region", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"selection", ERROR_INVALID_HANDLE, false},
                                  {"font", ERROR_NOT_ENOUGH_MEMORY, false},
                                  {"brush", ERROR_NOT_ENOUGH_MEMORY, false},
                                  {"text out", ERROR_INVALID_PARAMETER, true},
                                  {"block transfer", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"picture load", ERROR_RESOURCE_DATA_NOT_FOUND, false},
                                  {"window", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"menu", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"message box", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"screen DC", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"sound", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"string memory", ERROR_OUTOFMEMORY, true},
                                  {"global memory", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"thread storage", ERROR_NOT_ENOUGH_MEMORY, true},
                                  {"COM", ERROR_NOT_ENOUGH_MEMORY, false},
                                  {"common controls", ERROR_NOT_ENOUGH_MEMORY, false}};
static_assert(std::size(callKinds) == systemCallKinds);

struct Step {
  enum Kind { Author, NewGame, Letter } kind;
  char letter = 0;
};

// Every step the sweep's game takes after its first frame; "Salir del programa" follows.
std::vector<Step> Script() {
  std::vector<Step> steps{{Step::Author}, {Step::NewGame}};
  for (int i = 0; i < 10; ++i)
    for (char letter : {'o', 's'}) steps.push_back({Step::Letter, letter});
  for (int i = 0; i < 3; ++i)
    for (char letter : {'x', 'z', 'q', 'w', 'k', 'j'}) steps.push_back({Step::Letter, letter});
  return steps;
}

std::string StepName(const Step& step) {
  if (step.kind == Step::Author) return "Autor";
  if (step.kind == Step::NewGame) return "Nueva Partida";
  return std::string("'") + step.letter + "'";
}

// The plan the game shares, made once and filled anew for every run.
class SharedPlan {
 public:
  SharedPlan() {
    const std::wstring name = L"letrazul-faults-" + std::to_wstring(GetCurrentProcessId());
    mapping_ =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(FaultPlan), name.c_str());
    plan_ = static_cast<FaultPlan*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FaultPlan)));
    SetEnvironmentVariableW(test_support::faultPlanVariable, name.c_str());
  }
  ~SharedPlan() {
    SetEnvironmentVariableW(test_support::faultPlanVariable, nullptr);
    if (plan_) UnmapViewOfFile(plan_);
    if (mapping_) CloseHandle(mapping_);
  }
  SharedPlan(const SharedPlan&) = delete;
  SharedPlan& operator=(const SharedPlan&) = delete;

  bool ready() const { return plan_ != nullptr; }
  void Set(LONG kind, LONG firstCall, LONG lastCall) {
    *plan_ = FaultPlan{};
    plan_->kind = kind;
    plan_->firstCall = firstCall;
    plan_->lastCall = lastCall;
    plan_->error = kind >= 0 ? callKinds[kind].error : 0;
  }
  LONG Failed() const { return kind() >= 0 ? InterlockedCompareExchange(&plan_->failed[kind()], 0, 0) : 0; }
  LONG Calls(int32_t kind) const { return InterlockedCompareExchange(&plan_->calls[kind], 0, 0); }

 private:
  LONG kind() const { return plan_->kind; }
  HANDLE mapping_ = nullptr;
  FaultPlan* plan_ = nullptr;
};

// The game built with the injected faults, beside this test program.
std::filesystem::path FaultingProgram() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return std::filesystem::path(self).parent_path() / "letrazul_faults.exe";
}

enum class Outcome { notReached, playedOn, endedAtStart, failed };

class FaultSweep : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plan.ready()) << "no shared memory for the plan: error " << GetLastError();
    for (int32_t i = 0; i < game::UsableLines; ++i) list += "oso\r\n";
  }

  // One run of the script with `kind`'s calls firstCall to lastCall failing (kind -1: none).
  Outcome Play(LONG kind, LONG firstCall, LONG lastCall, std::string& failure) {
    plan.Set(kind, firstCall, lastCall);
    const bool persistent = lastCall > firstCall;
    const std::filesystem::path folder = temp.path() / ("run-" + std::to_string(++runs));
    Game game;
    if (!game.Start(FaultingProgram(), folder, list)) {
      const auto code = game.WaitForExit(10000);
      if (!code) return Fail(failure, "no window, and the game did not end");
      if (*code == 255 && plan.Failed() > 0) return Outcome::endedAtStart;
      return Fail(failure, "no window, and the game ended with " + std::to_string(*code));
    }
    // The game this process plays alongside, with the same word list.
    game::gameState = game::GameState();
    game::gameState.programFolder = (folder / "").u16string();
    test_support::requestLog.requests.clear();

    LONG failedBefore = 0;
    bool struck = false;
    auto check = [&](const std::string& name, int32_t boxes) -> bool {
      for (int32_t i = 0; i < boxes; ++i) {
        const auto box =
            game.WaitForBox(plan.Failed() > failedBefore || (struck && persistent) ? 2000 : 15000);
        if (box) {
          Game::Close(*box);
        } else if (plan.Failed() == failedBefore && !(struck && persistent)) {
          // A box that could not be shown is no fault while its calls fail.
          Fail(failure, "no box after " + name);
          return false;
        }
      }
      // The frame the rules give, unless a fault strikes in this step or is in force.
      bool shown = false;
      const Pixels expected = ExpectedFrame(game::gameState);
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15 * Slowness());
      while (!(struck && persistent) && plan.Failed() == failedBefore &&
             std::chrono::steady_clock::now() < deadline) {
        if ((shown = Differences(game.Screen(), expected) == 0)) break;
        Sleep(30);
      }
      const bool struckNow = plan.Failed() > failedBefore;
      failedBefore = plan.Failed();
      struck = struck || struckNow;
      if (!struckNow && !(struck && persistent)) {
        if (shown) return true;
        game.WaitForScreen(expected, ("fault-" + name).c_str(), 1);  // keeps both pictures
        Fail(failure, "a wrong frame after " + name + Alive(game));
        return false;
      }
      // While a fault is in force the frame may be old, but the game must go on answering.
      game.WaitUntilStill(300, 5000);
      for (const Box& box : game.Boxes()) Game::Close(box);
      if (const std::string state = Alive(game); !state.empty()) {
        Fail(failure, "after " + name + state);
        return false;
      }
      if (persistent) return true;
      // A passing fault is over: a new game must look exactly as the rules say.
      game.Command(newGame);
      game::StartNewGame();
      test_support::requestLog.requests.clear();
      if (game.WaitForScreen(ExpectedFrame(game::gameState), ("fault-after-" + name).c_str())) return true;
      Fail(failure, "a wrong frame in the new game after the fault in " + name + Alive(game));
      return false;
    };

    if (!check("start-up", 0)) return Outcome::failed;
    for (const Step& step : Script()) {
      const size_t before = test_support::requestLog.requests.size();
      if (step.kind == Step::Author) {
        game.Command(author);
        test_support::record({test_support::Request::Box, "", "Programador ..."});
      } else if (step.kind == Step::NewGame) {
        game.Command(newGame);
        game::StartNewGame();
      } else {
        game.PressLetter(step.letter);
        shell::HandlePadPress(static_cast<uint32_t>(MAKELPARAM(KeyX(KeyOf(step.letter)), 565)));
      }
      const auto& requests = test_support::requestLog.requests;
      const auto boxes = std::count_if(requests.begin() + static_cast<std::ptrdiff_t>(before), requests.end(),
                                       [](const auto& r) { return r.kind == test_support::Request::Box; });
      if (!check(StepName(step), static_cast<int32_t>(boxes))) return Outcome::failed;
    }
    game.Command(quit);
    // A box the game shows as it goes on under a lasting fault is answered, as a player would.
    std::optional<DWORD> code;
    const auto began = std::chrono::steady_clock::now();
    for (int32_t i = 0; i < (persistent ? 600 : 30) && !(code = game.WaitForExit(500)); ++i)
      for (const Box& box : game.Boxes()) Game::Close(box);
    if (!code) return Fail(failure, "\"Salir del programa\" did not end the game" + Alive(game));
    if (*code != 0)
      return Fail(failure, "\"Salir del programa\" ended the game with " + std::to_string(*code));
    quitMilliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began)
            .count();
    return struck || plan.Failed() > 0 ? Outcome::playedOn : Outcome::notReached;
  }

  static Outcome Fail(std::string& failure, const std::string& what) {
    if (failure.empty()) failure = what;
    return Outcome::failed;
  }

  // Empty while the game runs and answers; else what it did instead.
  static std::string Alive(const Game& game) {
    if (!game.Running()) {
      const auto code = game.WaitForExit(0);
      return ", and the game ended with " + (code ? std::to_string(*code) : std::string("?"));
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(game.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result))
      return ", and the game does not answer";
    return {};
  }

  SharedPlan plan;
  test_support::TempFolder temp;
  std::string list;
  int32_t runs = 0;
  int64_t quitMilliseconds = 0;  // from "Salir del programa" to the end of the last run
};

bool FullSweep() {
  const char* sweep = std::getenv("LETRAZUL_FAULT_SWEEP");
  return sweep && std::string(sweep) == "full";
}

LONG Spread() {
  const char* spread = std::getenv("LETRAZUL_FAULT_SPREAD");
  return spread && std::atol(spread) > 1 ? std::atol(spread) : 64;
}

bool Chosen(int32_t kind) {
  const char* kinds = std::getenv("LETRAZUL_FAULT_KINDS");
  if (!kinds || !*kinds) return FullSweep() || callKinds[kind].quick;
  std::string name = callKinds[kind].name;
  std::replace(name.begin(), name.end(), ' ', '-');
  const std::string list = std::string(",") + kinds + ",";
  return list.find("," + name + ",") != std::string::npos;
}

TEST_F(FaultSweep, EveryKindOfSystemCallFailingInTurnLeavesAGameThatPlaysOnAndEndsCleanly) {
  std::string failure;
  const auto began = std::chrono::steady_clock::now();
  ASSERT_EQ(Play(-1, 0, 0, failure), Outcome::notReached) << "the game without faults: " << failure;
  std::vector<LONG> total(systemCallKinds);
  for (int32_t kind = 0; kind < systemCallKinds; ++kind) total[static_cast<size_t>(kind)] = plan.Calls(kind);
  std::printf("the game without faults: %lld s; its calls:",
              static_cast<long long>(
                  std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - began)
                      .count()));
  for (int32_t kind = 0; kind < systemCallKinds; ++kind)
    std::printf(" %s %ld,", callKinds[kind].name, static_cast<long>(total[static_cast<size_t>(kind)]));
  std::printf("\n");

  struct Row {
    int32_t swept = 0, runs = 0, playedOn = 0, endedAtStart = 0, notReached = 0, failed = 0;
    int64_t longestQuit = 0;
  };
  std::map<int32_t, Row> rows;
  std::vector<std::string> failures;
  auto PrintHeading = [] {
    std::printf("%-16s %6s %6s %5s %9s %14s %11s %6s %14s\n", "call kind", "calls", "swept", "runs",
                "played on", "ended at start", "not reached", "failed", "longest quit");
  };
  auto PrintRow = [&](int32_t kind, const Row& row) {
    std::printf("%-16s %6ld %6d %5d %9d %14d %11d %6d %11.1f s\n", callKinds[kind].name,
                static_cast<long>(total[static_cast<size_t>(kind)]), row.swept, row.runs, row.playedOn,
                row.endedAtStart, row.notReached, row.failed, static_cast<double>(row.longestQuit) / 1000);
    std::fflush(stdout);
  };
  PrintHeading();
  for (int32_t kind = 0; kind < systemCallKinds; ++kind) {
    if (!Chosen(kind) || total[static_cast<size_t>(kind)] == 0) continue;
    std::vector<LONG> calls;
    const LONG last = total[static_cast<size_t>(kind)];
    if (FullSweep()) {
      // Every call would take days for the thousands of reads, text outs and strings a game makes.
      const LONG spread = std::min<LONG>(last, Spread());
      for (LONG i = 0; i < spread; ++i)
        calls.push_back(spread == 1 ? 1 : 1 + static_cast<LONG>(int64_t{i} * (last - 1) / (spread - 1)));
    } else {
      calls = {(last + 1) / 2};
    }
    Row& row = rows[kind];
    row.swept = static_cast<int32_t>(calls.size());
    for (LONG n : calls) {
      for (LONG lastCall : {n, static_cast<LONG>(LONG_MAX)}) {
        if (lastCall != n && !FullSweep()) continue;
        std::string what;
        quitMilliseconds = 0;
        const Outcome outcome = Play(kind, n, lastCall, what);
        ++row.runs;
        row.longestQuit = std::max(row.longestQuit, quitMilliseconds);
        switch (outcome) {
          case Outcome::playedOn:
            ++row.playedOn;
            break;
          case Outcome::endedAtStart:
            ++row.endedAtStart;
            break;
          case Outcome::notReached:
            ++row.notReached;
            break;
          case Outcome::failed:
            ++row.failed;
            failures.push_back(std::string(callKinds[kind].name) + " call " + std::to_string(n) +
                               (lastCall == n ? " failing once: " : " failing from there on: ") + what);
            std::printf("FAILED: %s\n", failures.back().c_str());
            break;
        }
        std::fflush(stdout);
      }
    }
    // Each kind's row as soon as it is done: a long sweep shows its results as it goes.
    PrintRow(kind, row);
  }
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - began).count();
  PrintHeading();
  for (const auto& [kind, row] : rows) PrintRow(kind, row);
  std::printf("fault sweep: %d runs in %lld s\n", runs, static_cast<long long>(seconds));
  for (const std::string& f : failures) ADD_FAILURE() << f;
}

}  // namespace
}  // namespace e2e

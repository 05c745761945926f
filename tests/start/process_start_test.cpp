// Starting a program built on the game's start-up code as Windows would, and reading back what its
// main procedure was given and how the process ended.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_folder.h"
#include "tests/support/wine_version.h"

namespace {

std::filesystem::path besideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path() / name;
}

struct Outcome {
  DWORD exitCode = 0;
  std::string report;  // what the probe wrote; empty when its main procedure never ran
};

// Starts `program` with `commandLine`, answers any message box it shows with `onBox`, and waits.
template <typename OnBox>
Outcome start(const std::filesystem::path& program, std::wstring commandLine, const STARTUPINFOW& startup,
              const std::filesystem::path& report, OnBox&& onBox) {
  std::filesystem::remove(report);
  SetEnvironmentVariableW(L"LETRAZUL_PROBE_OUT", report.wstring().c_str());
  STARTUPINFOW info = startup;
  info.cb = sizeof(info);
  PROCESS_INFORMATION process{};
  EXPECT_TRUE(CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, nullptr, &info, &process));
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) onBox(process.dwProcessId);
  Outcome run;
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::ifstream in(report);
  std::stringstream text;
  text << in.rdbuf();
  run.report = text.str();
  return run;
}

Outcome start(const std::wstring& commandLine, const STARTUPINFOW& startup,
              const std::filesystem::path& report) {
  return start(besideThisProgram(L"startup_probe.exe"), commandLine, startup, report, [](DWORD) {});
}

struct BoxSearch {
  DWORD processId;
  HWND box;
};

// Callbacks are named functions: the 32-bit build needs their stdcall convention.
BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<BoxSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (owner != search->processId || std::wstring(className) != L"#32770" || !IsWindowVisible(window))
    return TRUE;
  search->box = window;
  return FALSE;
}

BOOL CALLBACK FindWin98Text(HWND child, LPARAM data) {
  wchar_t text[64] = {};
  GetWindowTextW(child, text, 64);
  if (std::wstring(text).find(L"Win98") != std::wstring::npos) *reinterpret_cast<std::wstring*>(data) = text;
  return TRUE;
}

class ProcessStartTest : public testing::Test {
 protected:
  void TearDown() override { SetEnvironmentVariableW(L"LETRAZUL_PROBE_EXIT", nullptr); }
  test_support::TempFolder folder;
  std::filesystem::path report = folder.path() / "report.txt";
};

TEST_F(ProcessStartTest, TheMainProcedureGetsTheArgumentTextAndTheShowCommand) {
  STARTUPINFOW plain{};
  STARTUPINFOW minimised{};
  minimised.dwFlags = STARTF_USESHOWWINDOW;
  minimised.wShowWindow = SW_SHOWMINNOACTIVE;
  struct Case {
    std::wstring commandLine;
    const STARTUPINFOW& startup;
    std::string expected;
  } cases[] = {
      {L"\"C:\\Program Files\\Juego Letrazul\\startup_probe.exe\"   abc", plain, "show 10\n"},
      {L"\"C:\\Program Files\\Juego Letrazul\\startup_probe.exe\"   abc", plain, "arguments [abc]\n"},
      {L"startup_probe.exe", plain, "arguments []\n"},
      {L"startup_probe.exe", minimised, "show 7\n"},
  };
  for (const auto& c : cases) {
    const Outcome run = start(c.commandLine, c.startup, report);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.report.find(c.expected), std::string::npos) << run.report;
  }
}

TEST_F(ProcessStartTest, TheRuntimeIsReadyBeforeTheMainProcedureRuns) {
  const Outcome run = start(L"startup_probe.exe", STARTUPINFOW{}, report);
  for (const char* line : {"module 1\n", "previous 1\n", "x87 133f\n",
                           "fonts 3 MS Sans Serif 8 Lucida Console 11\n", "record 1 1 2 3 0\n"})
    EXPECT_NE(run.report.find(line), std::string::npos) << line << " in\n" << run.report;
}

TEST_F(ProcessStartTest, TheExitCodeIsTheMainProceduresResult) {
  SetEnvironmentVariableW(L"LETRAZUL_PROBE_EXIT", L"42");
  EXPECT_EQ(start(L"startup_probe.exe", STARTUPINFOW{}, report).exitCode, 42u);
}

// Wine can be told to report Windows 98 to one program; real Windows cannot.
TEST_F(ProcessStartTest, TheWindows9xFamilyIsRefusedWithOneBox) {
  if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) GTEST_SKIP() << "needs Wine";
  const std::filesystem::path program = folder.path() / "probe98.exe";
  std::filesystem::copy_file(besideThisProgram(L"startup_probe.exe"), program);
  const test_support::WineWindowsVersion windows98(L"probe98.exe", L"win98");
  ASSERT_TRUE(windows98.set());

  std::wstring boxText;
  int boxes = 0;
  const Outcome run = start(program, L"probe98.exe", STARTUPINFOW{}, report, [&](DWORD processId) {
    BoxSearch search{processId, nullptr};
    EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.box) return;
    ++boxes;
    EnumChildWindows(search.box, FindWin98Text, reinterpret_cast<LPARAM>(&boxText));
    PostMessageW(search.box, WM_COMMAND, IDOK, 0);
    Sleep(200);
  });
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(boxText, L"Win98 No Support");
  EXPECT_TRUE(run.report.empty()) << "the main procedure never ran";
  EXPECT_EQ(run.exitCode, 255u);
}

}  // namespace

// Sounds and message boxes as the game requests them.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "runtime/media/message_box.h"
#include "runtime/media/sound.h"
#include "runtime/text/error_code.h"
#include "tests/support/temp_folder.h"

namespace runtime {
namespace {

constexpr int32_t gameSoundFlags = soundAsync | soundNoDefault;

TEST(PlaySound, ASoundThatIsNoFileRecords53AndPlaysNothing) {
  test_support::TempFolder folder;
  std::filesystem::create_directory(folder.path() / "carpeta.wav");
  const ByteString cases[] = {
      folder.file("nada.wav"),  // a file name that names nothing
      ByteString("*.wav"),      // wildcards are never looked up
      ByteString("so?ido.wav"),
      folder.file("carpeta.wav"),  // a folder is no sound file
  };
  for (const ByteString& name : cases) {
    errorCode = 0;
    playSound(name, gameSoundFlags, 0);
    EXPECT_EQ(errorCode, error::fileNotFound) << name.view();
  }
}

// Whether the system is playing a sound now: a request that must yield to a sound already playing
// is refused, and one that is not refused is stopped again at once.
bool aSoundIsPlaying() {
  const bool refused =
      !PlaySoundW(L"#303", GetModuleHandleW(nullptr), SND_ASYNC | SND_NODEFAULT | SND_RESOURCE | SND_NOSTOP);
  if (!refused) PlaySoundW(nullptr, nullptr, 0);
  return refused;
}

// Waits for the sound playing now to end. The bound, many times the longest sound, is only reached
// by a sound that would never end.
bool fallsSilent() {
  for (int i = 0; i < 2000; ++i) {
    if (!aSoundIsPlaying()) return true;
    Sleep(10);
  }
  return false;
}

TEST(PlaySound, TheGamesSoundsPlayInTheBackgroundEachCuttingOffTheOneBefore) {
  for (const char* name : {"#300", "#301", "#302", "#303", "#304", "#305"}) {
    errorCode = 0;
    // Looping, the sound plays until something stops it: whether it plays needs no clock.
    playSound(ByteString(name), gameSoundFlags | SND_LOOP, 0);
    ASSERT_TRUE(aSoundIsPlaying()) << name << " stopped when its request returned";
    // "#303" replaces it, as it replaces itself at every revealed position of a letter: it must not
    // yield to the sound before (the game never asks for that), and it plays once to its end.
    playSound(ByteString("#303"), gameSoundFlags, 0);
    ASSERT_EQ(errorCode, 0) << name;
    EXPECT_TRUE(fallsSilent()) << name << " was not cut off";
  }
}

TEST(PlaySound, AnEmptyNameStopsTheSound) {
  playSound(ByteString("#301"), gameSoundFlags | SND_LOOP, 0);
  ASSERT_TRUE(aSoundIsPlaying());
  errorCode = 0;
  playSound(ByteString(), 0, 0);
  EXPECT_FALSE(aSoundIsPlaying());
  EXPECT_EQ(errorCode, 0);
}

struct FoundBox {
  std::wstring title;
  std::wstring text;
  HWND owner = nullptr;
  bool found = false;
};

BOOL CALLBACK ReadStaticText(HWND child, LPARAM data) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  wchar_t text[256] = {};
  GetWindowTextW(child, text, 256);
  if (std::wstring(className) == L"Static" && text[0]) reinterpret_cast<FoundBox*>(data)->text = text;
  return TRUE;
}

BOOL CALLBACK ReadBox(HWND window, LPARAM data) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  auto* box = reinterpret_cast<FoundBox*>(data);
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  box->title = title;
  box->owner = GetWindow(window, GW_OWNER);
  EnumChildWindows(window, ReadStaticText, data);
  box->found = true;
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

// Shows a box on this thread while a second thread reads it back and closes it. The reader looks
// for the box until it has closed it or the box has returned without it, so a slow box is never
// missed and a box that is never shown ends the test instead of leaving it waiting; the box
// record is handed back by the join.
FoundBox showAndRead(const ByteString& message, const ByteString& title, int32_t& result) {
  const DWORD thread = GetCurrentThreadId();
  FoundBox box;
  std::atomic<bool> returned{false};
  std::thread reader([&] {
    while (!box.found && !returned) {
      EnumThreadWindows(thread, ReadBox, reinterpret_cast<LPARAM>(&box));
      Sleep(10);
    }
  });
  result = messageBox(message, title, messageBoxOk);
  returned = true;
  reader.join();
  return box;
}

TEST(MessageBox, ShowsCodePage1252TextWithNoOwner) {
  int32_t result = 0;
  const FoundBox box = showAndRead(ByteString("Se acab\xF3 la partida: \xA1otra vez, se\xF1or!"),
                                   ByteString("Programador \xE9"), result);
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.text, L"Se acab\u00F3 la partida: \u00A1otra vez, se\u00F1or!");
  EXPECT_EQ(box.title, L"Programador \u00E9");
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(result, IDOK);
}

TEST(MessageBox, AnEmptyTitleGetsTheProgramsName) {
  int32_t result = 0;
  const FoundBox box = showAndRead(ByteString("GAME OVER"), ByteString(), result);
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.title, L"Letrazul");
}

// A press another process sends while a box waits runs a step inside the box's loop; the step
// ends the box and runs a loop of its own, which takes the message that would wake the box's. Once
// the step has ended, the next message posted to the thread still arrives.
std::vector<UINT> arrived;

LRESULT CALLBACK StepWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    const auto box = reinterpret_cast<HWND>(wParam);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    MSG taken;
    for (int i = 0; i < 1000 && IsWindowVisible(box); ++i) {
      while (PeekMessageW(&taken, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&taken);
      Sleep(1);
    }
    while (PeekMessageW(&taken, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&taken);
    wakeMessageBoxLoops();  // as every step does as it ends
    return 0;
  }
  if (message == WM_APP + 1) arrived.push_back(message);
  return DefWindowProcW(window, message, wParam, lParam);
}

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

TEST(MessageBox, AMessagePostedAfterAStepEndedItsBoxStillArrives) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = StepWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"LetrazulStepTest";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"LetrazulStepTest", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  const DWORD thread = GetCurrentThreadId();
  std::thread other([&] {
    HWND box = nullptr;
    for (int i = 0; i < 1000 && !box; ++i) {
      EnumThreadWindows(thread, FindBox, reinterpret_cast<LPARAM>(&box));
      Sleep(10);
    }
    Sleep(100);  // the box's loop waits for a message
    SendMessageW(window, WM_APP, reinterpret_cast<WPARAM>(box), 0);
    PostMessageW(window, WM_APP + 1, 0, 0);
  });
  messageBox(ByteString("Espera"), ByteString(), messageBoxOk);
  other.join();
  MSG taken;
  while (PeekMessageW(&taken, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&taken);
  EXPECT_EQ(arrived, std::vector<UINT>{WM_APP + 1});
  DestroyWindow(window);
}

}  // namespace
}  // namespace runtime

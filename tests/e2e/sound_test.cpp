// The real letrazul.exe played from another process while a sound server of our own records what
// it plays (tools/pulse-session.sh). Every sound is found from the recording alone, by correlation
// with the WAVE data the program carries, and each event must give exactly the sounds the rules
// give it, in their order, and nothing else.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "game/word_list.h"
#include "tests/e2e/game_driver.h"
#include "tests/e2e/sound_finder.h"
#include "tests/support/temp_folder.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr uint32_t newGameCommand = 1002, quitCommand = 1005;
constexpr int32_t gameLost = 300, newGame = 301, miss = 302, letterFound = 303, wordSolved = 304,
                  wordLost = 305;

const char* NameOf(int32_t id) {
  switch (id) {
    case gameLost:
      return "game lost";
    case newGame:
      return "new game";
    case miss:
      return "miss";
    case letterFound:
      return "letter found";
    case wordSolved:
      return "word solved";
    case wordLost:
      return "word lost";
    default:
      return "?";
  }
}

// Every line after the first is `word`, so every choice takes it; the first line is 8 MB long and
// no word, and each candidate the choice reads is read from the start of the list. So a choice
// takes a while, and the sound asked for before it (a miss before a lost word, a found letter
// before a solved one) is heard before the next request cuts it off: Wine starts a sound tens of
// milliseconds after it is asked for, and more under load.
std::string ListOf(const std::string& word) {
  std::string list(8 << 20, 'x');
  list += "\r\n";
  for (int32_t i = 1; i < game::UsableLines; ++i) list += word + "\r\n";
  return list;
}

// The program's six sounds from its own resources, at the recording's rate.
SoundFinder SoundsOf(const std::filesystem::path& program, int32_t rate) {
  SoundFinder finder(rate);
  HMODULE module =
      LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return finder;
  for (int32_t id = gameLost; id <= wordLost; ++id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"WAVE");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded) continue;
    const std::string_view wave(static_cast<const char*>(LockResource(loaded)),
                                SizeofResource(module, found));
    finder.Add(id, WaveSamples(wave, rate));
  }
  FreeLibrary(module);
  return finder;
}

// The sound server's recording, read while it grows. The server hands over samples within
// milliseconds of mixing them, so the moment the file is seen to grow ties its sample numbers to
// this process's clock; the earliest such moment near a time is the best estimate there.
class Recording {
 public:
  Recording(const std::filesystem::path& file, int32_t rate)
      : file_(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, 0, nullptr)),
        rate_(rate) {
    if (file_ != INVALID_HANDLE_VALUE)
      watcher_ = std::jthread([this](const std::stop_token& stop) { Watch(stop); });
  }
  ~Recording() {
    if (watcher_.joinable()) {
      watcher_.request_stop();
      watcher_.join();
    }
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  bool open() const { return file_ != INVALID_HANDLE_VALUE; }

  int64_t Length() const {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file_, &size) ? size.QuadPart / 2 : 0;
  }

  // Samples `from` to `to`, as far as they are there.
  std::vector<float> Samples(int64_t from, int64_t to) const {
    from = std::max<int64_t>(from, 0);
    to = std::min(to, Length());
    if (to <= from) return {};
    std::vector<int16_t> raw(static_cast<size_t>(to - from));
    LARGE_INTEGER at{};
    at.QuadPart = from * 2;
    DWORD read = 0;
    const std::lock_guard lock(readMutex_);
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file_, raw.data(), static_cast<DWORD>(raw.size() * 2), &read, nullptr))
      return {};
    std::vector<float> samples(read / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<float>(raw[i]) / 32768.0f;
    return samples;
  }

  int64_t SampleAt(Clock::time_point when) const {
    return std::llround(Seconds(when - OriginNear(when)).count() * rate_);
  }
  Clock::time_point TimeOf(int64_t sample) const {
    const auto offset =
        std::chrono::duration_cast<Clock::duration>(Seconds(static_cast<double>(sample) / rate_));
    const Clock::time_point roughly = OriginNear(Clock::now()) + offset;
    return OriginNear(roughly) + offset;
  }

 private:
  // When sample 0 was mixed, as seen from near `when`: the two clocks may drift apart a little.
  Clock::time_point OriginNear(Clock::time_point when) const {
    const std::lock_guard lock(seenMutex_);
    Clock::time_point best = Clock::time_point::max();
    for (const Seen& seen : seen_)
      if (seen.at > when - std::chrono::seconds(5) && seen.at < when + std::chrono::seconds(5))
        best = std::min(best, seen.origin);
    if (best == Clock::time_point::max() && !seen_.empty()) best = seen_.back().origin;
    return best == Clock::time_point::max() ? Clock::now() : best;
  }

  void Watch(const std::stop_token& stop) {
    int64_t last = -1;
    while (!stop.stop_requested()) {
      const int64_t length = Length();
      const Clock::time_point now = Clock::now();
      if (length != last) {
        last = length;
        const auto played =
            std::chrono::duration_cast<Clock::duration>(Seconds(static_cast<double>(length) / rate_));
        const std::lock_guard lock(seenMutex_);
        seen_.push_back({now, now - played});
      }
      Sleep(2);
    }
  }

  struct Seen {
    Clock::time_point at, origin;
  };
  HANDLE file_ = INVALID_HANDLE_VALUE;
  int32_t rate_;
  mutable std::mutex seenMutex_, readMutex_;
  std::vector<Seen> seen_;
  std::jthread watcher_;
};

// Wine's first stream in a new prefix can come back silent: a moment of silence plays first, in
// 16 bits, since an 8-bit stream ends with a click.
void WarmUpTheSoundDevice() {
  constexpr uint32_t bytes = 4410;  // 0.1 s of 16-bit mono at 22,050 Hz
  std::string wave;
  const auto put = [&wave](uint32_t value, int count) {
    for (int i = 0; i < count; ++i) wave.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  wave += "RIFF";
  put(36 + bytes, 4);
  wave += "WAVEfmt ";
  put(16, 4);
  put(1, 2);  // PCM, mono
  put(1, 2);
  put(22050, 4);
  put(44100, 4);
  put(2, 2);
  put(16, 2);
  wave += "data";
  put(bytes, 4);
  wave.append(bytes, '\0');
  PlaySoundW(reinterpret_cast<const wchar_t*>(wave.data()), nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT);
}

// A sound an event must give, `least` to `most` times in a row: each found position asks for the
// letter-found sound again, cutting off the one before; and a miss that loses the game is cut off
// by the lost game's sound a frame later, which under load can be before any of it is heard.
struct Part {
  int32_t id;
  int32_t least = 1;
  int32_t most = 1;
};

bool Matches(const std::vector<Heard>& heard, const std::vector<Part>& parts) {
  size_t i = 0;
  for (const Part& part : parts) {
    int32_t count = 0;
    while (i < heard.size() && heard[i].id == part.id && count < part.most) {
      ++i;
      ++count;
    }
    if (count < part.least) return false;
  }
  return i == heard.size();
}

std::string Describe(const std::vector<Part>& parts) {
  std::string text;
  for (const Part& part : parts) {
    text += (text.empty() ? "" : ", ") + std::string(NameOf(part.id));
    if (part.least != 1 || part.most != 1)
      text += " (" + std::to_string(part.least) + " to " + std::to_string(part.most) + " times)";
  }
  return text.empty() ? "nothing" : text;
}

// One thing the player does, and what it must sound like.
struct Event {
  std::string what;
  std::vector<Part> sounds;
  bool press;  // a press on the pad, whose delay to its sound is reported
  Clock::time_point at;
};

class SoundTest : public testing::Test {
 protected:
  void SetUp() override {
    const wchar_t* file = _wgetenv(L"LETRAZUL_SOUND_RECORDING");
    const char* rateText = std::getenv("LETRAZUL_SOUND_RATE");
    if (!file || !rateText) GTEST_SKIP() << "no recording: run this through tools/pulse-session.sh run";
    rate = std::atoi(rateText);
    ASSERT_GT(rate, 0) << "LETRAZUL_SOUND_RATE is " << rateText;
    // Wine names the Linux file system Z:.
    recording = std::make_unique<Recording>(std::wstring(L"Z:") + file, rate);
    ASSERT_TRUE(recording->open()) << "the recording cannot be read";
    finder = std::make_unique<SoundFinder>(SoundsOf(Program(), rate));
    for (int32_t id = gameLost; id <= wordLost; ++id)
      ASSERT_GT(finder->Length(id), 0) << "sound " << id << " is not among the program's resources";
    WarmUpTheSoundDevice();
  }

  int64_t Samples(double seconds) const { return std::llround(seconds * rate); }

  // Where an event's window of the recording starts: a little before the press, so that an
  // error in placing the press is not taken for a sound starting before the window.
  int64_t WindowStart(const Event& event) const { return recording->SampleAt(event.at) - Samples(0.03); }

  // Does `act`, then waits until the sounds it should give have been heard to their end (or, for
  // a silent event, for a second) so the next event's window holds only its own; false when they
  // were not heard in time. What was heard is judged at the end, from the recording alone.
  bool Play(const std::string& what, bool press, const std::function<void()>& act, std::vector<Part> sounds) {
    events.push_back({what, std::move(sounds), press, Clock::now()});
    const Event& event = events.back();
    act();
    const Clock::time_point deadline = event.at + std::chrono::seconds(10 * Slowness());
    const int64_t start = WindowStart(event);
    while (Clock::now() < deadline) {
      Sleep(50);
      const int64_t end = recording->Length();
      if (event.sounds.empty()) {
        if (end >= recording->SampleAt(event.at + std::chrono::seconds(1))) return true;
        continue;
      }
      // Looked at only once the recording has been silent for a while: for a long sound, longer
      // than its stream may stall.
      const std::vector<float> window = recording->Samples(start, end);
      const bool endsLong = finder->Length(event.sounds.back().id) > Samples(0.25);
      const auto quiet = static_cast<size_t>(Samples(endsLong ? SoundFinder::longestStall + 0.05 : 0.25));
      if (window.size() < 2 * quiet || finder->FirstSound(window, 0, window.size()) == window.size() ||
          finder->FirstSound(window, window.size() - quiet, window.size()) < window.size())
        continue;
      const std::vector<Heard> heard = finder->Find(window);
      if (Matches(heard, event.sounds) && static_cast<size_t>(heard.back().end) + quiet <= window.size())
        return true;
    }
    return event.sounds.empty();
  }

  // Each event's window runs from its press to the next event's; in it the sounds heard must be
  // the event's, each clearly more like itself than like any other, with silence before the first
  // and after the last.
  void JudgeEvents(Clock::time_point end) {
    std::vector<double> delays;
    for (size_t e = 0; e < events.size(); ++e) {
      const Event& event = events[e];
      const int64_t from = WindowStart(event);
      const int64_t to = e + 1 < events.size() ? WindowStart(events[e + 1]) : recording->SampleAt(end);
      const std::vector<float> window = recording->Samples(from, to);
      const std::vector<Heard> heard = finder->Find(window);
      std::string line = event.what + ": ";
      for (const Heard& sound : heard) {
        const double after = Seconds(recording->TimeOf(from + sound.start) - event.at).count();
        char text[160];
        std::snprintf(text, sizeof text, "%s%s at +%.0f ms for %.0f ms%s (likeness %.2f, next best %.2f)",
                      &sound == heard.data() ? "" : ", ", NameOf(sound.id), after * 1000,
                      static_cast<double>(sound.end - sound.start) * 1000 / rate,
                      sound.cutOff ? ", cut off" : "", sound.match, sound.nextBest);
        line += text;
        EXPECT_GE(sound.match - sound.nextBest, 0.1)
            << event.what << ": " << NameOf(sound.id) << " is not clearly itself";
      }
      std::printf("sound: %s\n", (heard.empty() ? line + "silence" : line).c_str());
      EXPECT_TRUE(Matches(heard, event.sounds))
          << event.what << ": should give " << Describe(event.sounds) << "; the recording has " << line;
      // Anything else heard is none of the six. A sound's faint first samples may come a little
      // before the place where it lines up best.
      const auto lead = static_cast<size_t>(Samples(0.01));
      const size_t firstStart = heard.empty() ? window.size()
                                              : static_cast<size_t>(heard.front().start) -
                                                    std::min<size_t>(lead, heard.front().start);
      const size_t lastEnd = heard.empty() ? window.size() : static_cast<size_t>(heard.back().end);
      for (const auto& [from, to] : {std::pair(size_t{0}, firstStart), std::pair(lastEnd, window.size())}) {
        const size_t other = finder->FirstSound(window, from, to);
        EXPECT_EQ(other, to) << event.what << ": a sound that is none of the six at "
                             << static_cast<double>(other) * 1000 / rate << " ms of "
                             << window.size() * 1000 / rate << " ms, at "
                             << (other < window.size() ? window[other] : 0.0f);
      }
      if (!heard.empty()) {
        const double delay = Seconds(recording->TimeOf(from + heard.front().start) - event.at).count();
        // Only a sanity bound: the delay is reported, not judged.
        EXPECT_LT(delay, 5.0 * Slowness()) << event.what;
        if (event.press) delays.push_back(delay);
      }
    }
    if (delays.empty()) return;
    std::sort(delays.begin(), delays.end());
    const auto rank = [&](double share) {
      return delays[std::min(delays.size() - 1, static_cast<size_t>(std::ceil(share * delays.size())) - 1)];
    };
    std::printf(
        "sound: from a press on the pad to its sound: median %.0f ms, p95 %.0f ms, longest %.0f ms, over %zu "
        "presses\n",
        rank(0.5) * 1000, rank(0.95) * 1000, delays.back() * 1000, delays.size());
  }

  int32_t rate = 0;
  std::unique_ptr<Recording> recording;
  std::unique_ptr<SoundFinder> finder;
  std::vector<Event> events;
};

TEST_F(SoundTest, EveryEventSoundsAsTheRulesSayAndNothingElseDoes) {
  test_support::TempFolder temp;
  Game game;
  // Every word is "banana": a is in three places, n in two, b in one.
  ASSERT_TRUE(game.Start(Program(), temp.path() / "juego", ListOf("banana"))) << "the game did not come up";
  // The run that hears the shipped 32-bit build says so, and this makes sure it is the one heard.
  if (const char* bits = std::getenv("LETRAZUL_GAME_BITS")) {
    EXPECT_EQ(game.Bits(), std::atoi(bits));
  }
  const auto press = [&](char letter) { return [&game, letter] { game.PressLetter(letter); }; };

  Play("a key before any game", true, press('a'), {});
  // Without this one, the rest would wait in vain.
  ASSERT_TRUE(Play("Nueva Partida", false, [&] { game.Command(newGameCommand); }, {{newGame}}))
      << "no new-game sound heard: does Wine play to the session's sound server (PULSE_SERVER)?";
  Play("presses off the keys", true,
       [&] {
         game.Press(400, 300);
         game.Press(395, 560);
         game.Press(100, 549);
       },
       {});
  Play("a, found in three places", true, press('a'), {{letterFound, 1, 3}});
  Play("n, found in two places", true, press('n'), {{letterFound, 1, 2}});
  Play("b, which solves the word", true, press('b'), {{letterFound}, {wordSolved}});
  const std::string wrong = "xzqwkj";
  for (int32_t lives = 3; lives >= 1; --lives) {
    for (int32_t misses = 1; misses <= 6; ++misses) {
      const char letter = wrong[static_cast<size_t>(misses - 1)];
      const std::string what = std::string(1, letter) + ", miss " + std::to_string(misses) + " with " +
                               std::to_string(lives) + (lives == 1 ? " life" : " lives");
      std::vector<Part> sounds = {{miss}};
      if (misses == 6 && lives > 1) sounds.push_back({wordLost});
      if (misses == 6 && lives == 1) sounds = {{miss, 0, 1}, {gameLost}};
      Play(what, true, press(letter), sounds);
    }
  }
  // The lost game's sound has been heard before its box is closed: a box shown first would hold
  // the sound back until then.
  const std::optional<Box> over = game.WaitForBox();
  ASSERT_TRUE(over) << "no GAME OVER box";
  EXPECT_EQ(over->text, L"GAME OVER");
  Play("closing GAME OVER", false, [&] { Game::Close(*over); }, {});
  Play("a key after GAME OVER", true,
       [&] {
         game.PressLetter('a');
         const std::optional<Box> again = game.WaitForBox();
         EXPECT_TRUE(again) << "no GAME OVER box again";
         if (again) Game::Close(*again);
       },
       {});
  const Clock::time_point end = Clock::now();
  game.Command(quitCommand);
  EXPECT_EQ(game.WaitForExit(), std::optional<DWORD>(0));

  JudgeEvents(end);
}

}  // namespace
}  // namespace e2e

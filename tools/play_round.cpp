// Plays a short scripted round of the real game on the current (virtual) display and writes
// screenshots of the window, and the round's sound as round.wav where a sound server records it:
//   play_round LETRAZUL_EXE WORD_LIST OUTPUT_FOLDER
// The game runs from a folder of its own with the given list as dic.txt. The round: a new game,
// the most frequent Spanish letters one by one until the game says it is over or they run out,
// the author message, and the way out.
#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tests/e2e/game_driver.h"

namespace {

// A WAV file of 16-bit mono samples.
std::string Wave(const std::string& samples, uint32_t rate) {
  std::string wave;
  const auto put = [&wave](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) wave.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  wave += "RIFF";
  put(static_cast<uint32_t>(36 + samples.size()), 4);
  wave += "WAVEfmt ";
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);
  put(rate, 4);
  put(rate * 2, 4);
  put(2, 2);
  put(16, 2);
  wave += "data";
  put(static_cast<uint32_t>(samples.size()), 4);
  return wave + samples;
}

// The recording of the sound server that tools/pulse-session.sh starts: its file, growing while
// the round plays, of 16-bit mono samples.
struct Recording {
  std::filesystem::path file;
  uint32_t rate = 0;
  std::uintmax_t Size() const {
    std::error_code ignored;
    return std::filesystem::file_size(file, ignored) & ~std::uintmax_t{1};
  }
};

std::optional<Recording> TheRecording() {
  const char* file = std::getenv("LETRAZUL_SOUND_RECORDING");
  const char* rate = std::getenv("LETRAZUL_SOUND_RATE");
  if (!file || !*file || !rate) return std::nullopt;
  // A Linux path: Wine's drive Z: is the Linux root.
  return Recording{std::string("Z:") + file, static_cast<uint32_t>(std::atoi(rate))};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: play_round LETRAZUL_EXE WORD_LIST OUTPUT_FOLDER\n");
    return 2;
  }
  std::ifstream listFile(argv[2], std::ios::binary);
  const std::string list((std::istreambuf_iterator<char>(listFile)), std::istreambuf_iterator<char>());
  const std::filesystem::path output = argv[3];
  std::filesystem::create_directories(output);
  char folderName[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folderName);
  const std::filesystem::path folder =
      std::filesystem::path(folderName) / ("letrazul-play-" + std::to_string(GetCurrentProcessId()));

  const auto recording = TheRecording();
  std::uintmax_t roundStart = 0;
  if (recording) {
    // Wine's first stream in a new prefix can come back silent: a moment of silence plays first,
    // so the game's first sound is heard.
    const size_t fifthOfASecond = recording->rate / 5;
    const std::string warmUp = Wave(std::string(fifthOfASecond * 2, '\0'), recording->rate);
    PlaySoundA(warmUp.data(), nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT);
    roundStart = recording->Size();
  }

  e2e::Game game;
  if (!game.Start(argv[1], folder, list)) return 1;
  std::printf("the game runs as a %d-bit program\n", game.Bits());
  int shot = 0;
  auto screenshot = [&](const std::string& what) {
    game.WaitUntilStill();
    char name[64];
    std::snprintf(name, sizeof(name), "%02d-%s.png", ++shot, what.c_str());
    e2e::SavePicture(game.WindowScreen(), output / name);
    std::printf("  %s\n", name);
  };
  std::printf("screenshots in %s:\n", output.string().c_str());
  screenshot("start");
  game.Command(1002);
  screenshot("new-game");
  for (char letter : std::string("eaosrnidlctumpbgvyhfqzj\xF1xkw")) {
    game.PressLetter(letter);
    screenshot(std::string("pressed-") + (letter == '\xF1' ? std::string("enie") : std::string(1, letter)));
    if (!game.Boxes().empty()) break;  // "GAME OVER"
  }
  // Each box is answered once, as a player would; the next step waits until the answer is taken,
  // or it could find the answered box still on the screen and answer it again instead of its own.
  bool answered = true;
  for (const auto& box : game.Boxes()) answered = e2e::Game::Close(box) && answered;
  game.Command(1007);
  const auto author = game.WaitForBox(15000, L"Programador ...");
  if (author) {
    screenshot("author");
    answered = e2e::Game::Close(*author) && answered;
  }
  game.Command(1005);
  const auto code = game.WaitForExit();
  if (!author) std::fprintf(stderr, "the author message did not come\n");
  if (!answered) std::fprintf(stderr, "a message box did not take its OK\n");
  if (!code)
    std::fprintf(stderr, "the game did not end\n");
  else if (*code != 0)
    std::fprintf(stderr, "the game ended with code %lu\n", *code);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  if (recording) {
    std::ifstream in(recording->file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(roundStart));
    std::string samples(recording->Size() - roundStart, '\0');
    in.read(samples.data(), static_cast<std::streamsize>(samples.size()));
    samples.resize(static_cast<size_t>(in.gcount()));
    std::ofstream(output / "round.wav", std::ios::binary) << Wave(samples, recording->rate);
    std::printf("  round.wav (%.1f s)\n", static_cast<double>(samples.size()) / 2 / recording->rate);
  }
  return author && answered && code && *code == 0 ? 0 : 1;
}

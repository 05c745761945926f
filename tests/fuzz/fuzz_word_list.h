// The dic.txt a fuzz target hands the game: in a folder of this process's own, so that targets
// running side by side do not share one, with the game's program folder pointed at it.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/game_state.h"

namespace fuzz {

inline const std::filesystem::path& WordListPath() {
  static const std::filesystem::path list = [] {
    auto folder = std::filesystem::temp_directory_path() / ("letrazul-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder / "dic.txt";
  }();
  return list;
}

// Writes `size` bytes as the list and makes it the one the game reads.
inline void UseWordList(const uint8_t* data, size_t size) {
  {
    std::ofstream file(WordListPath(), std::ios::binary | std::ios::trunc);
    if (size > 0) file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  game::gameState.programFolder = (WordListPath().parent_path() / "").u16string();
}

}  // namespace fuzz

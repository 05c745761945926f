// Measures ChooseNextWord on a word list:
//   word_choice_bench FOLDER [CHOICES]
// FOLDER holds dic.txt. A new game starts every 50 words, and whenever the list is used up.
// Reports the median and 99th percentile of a whole choice, and of its work with the
// one-millisecond yields taken out (each line of the list drawn yields once; the cost of a yield is
// measured on its own, with an empty queue).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/word_list.h"
#include "runtime/host/message_pump.h"
#include "tests/bench/bench_stats.h"

using namespace bench;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: word_choice_bench FOLDER [CHOICES]\n");
    return 2;
  }
  const int choices = argc > 2 ? std::atoi(argv[2]) : 300;
  std::string folder = std::filesystem::absolute(argv[1]).string();
  folder += std::filesystem::path::preferred_separator;
  game::gameState.programFolder = std::filesystem::path(folder).u16string();

  const double yield = medianTime(2000, [] { runtime::doEvents(1); });

  std::vector<double> totals, work;
  int64_t candidates = 0, yields = 0;
  for (int i = 0; i < choices; ++i) {
    if (i % 50 == 0) game::ClearUsedLines();  // a new game every 50 words
    int usedBefore = game::UsedLineCount();
    int64_t yieldsBefore = runtime::yieldCount();
    auto start = Clock::now();
    game::WordChoice choice = game::ChooseNextWord();
    if (choice == game::WordChoice::listUsedUp) {
      game::ClearUsedLines();
      usedBefore = 0;
      yieldsBefore = runtime::yieldCount();
      start = Clock::now();
      choice = game::ChooseNextWord();
    }
    if (choice != game::WordChoice::chosen) {
      std::fprintf(stderr, "no word found in %sdic.txt\n", folder.c_str());
      return 1;
    }
    const double total = milliseconds(Clock::now() - start);
    const int64_t yielded = runtime::yieldCount() - yieldsBefore;
    candidates += game::UsedLineCount() - usedBefore;
    yields += yielded;
    totals.push_back(total);
    work.push_back(std::max(0.0, total - static_cast<double>(yielded) * yield));
  }
  std::printf("word choice on %sdic.txt, %d choices, %.1f numbers drawn and %.2f yields a choice\n",
              folder.c_str(), choices, static_cast<double>(candidates) / choices,
              static_cast<double>(yields) / choices);
  std::printf("  one yield (empty queue):  median %.3f ms\n", yield);
  std::printf("  whole choice:             median %.3f ms   p99 %.3f ms\n", percentile(totals, 0.5),
              percentile(totals, 0.99));
  std::printf("  work, yields taken out:   median %.3f ms   p99 %.3f ms\n", percentile(work, 0.5),
              percentile(work, 0.99));
  std::printf("  share of the yields:      %.0f%% of the median choice\n",
              100.0 * (percentile(totals, 0.5) - percentile(work, 0.5)) / percentile(totals, 0.5));
  return 0;
}

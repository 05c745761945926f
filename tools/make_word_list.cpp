// Makes the game's dic.txt from a spelling list, a frequency ranking and the exclusion lists:
//   make_word_list --spelling FILE --ranking FILE --blocked FILE --function-words FILE
//                  [--public-blocklist FILE --kept FILE] OUTPUT
// --spelling is a UTF-8 word list, one word a line (Debian's wspanish); --ranking a JSON array of
// words, most frequent first; --blocked and --function-words are our own UTF-8 lists, one word a line,
// '#' starting a comment; --public-blocklist is a JSON array of offensive words and phrases whose
// every single word must be either in --blocked or in --kept (the ones with an innocent everyday
// meaning), so that a new version of that list cannot slip past unread.
//
// A word of the spelling list enters when it is 3 to 26 bytes in code page 1252, the letter pad can
// spell it once accents are folded (a-z, ñ and á à é è í ì ó ò ú ù ü), it has a vowel, it is among the
// ranking's first 40,000 words, and it is neither a function word nor blocked. The list keeps the
// spelling list's order, without repeats, in code page 1252 with CR LF line ends, so the same sources
// always give the same bytes. A report of what each rule removed goes to standard output.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr size_t shortestWord = 3;
constexpr size_t longestWord = 26;
// The game draws line numbers up to this; a longer list would never show its tail.
constexpr size_t mostLines = 87568;
// The subtitle ranking holds about 40,000 forms; all of them are words a player meets in everyday
// speech, so the cut-off takes the whole list.
constexpr size_t rankCutOff = 40000;

using Word = std::string;  // code page 1252

// UTF-8 to code page 1252 for text below U+0100, where the two agree on every letter; nothing for
// invalid UTF-8 or a character beyond.
std::optional<Word> toCp1252(const std::string& utf8) {
  Word out;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      i += 1;
      continue;
    }
    if ((lead & 0xE0) != 0xC0 || i + 1 >= utf8.size()) return std::nullopt;
    const auto trail = static_cast<unsigned char>(utf8[i + 1]);
    if ((trail & 0xC0) != 0x80) return std::nullopt;
    const unsigned code = ((lead & 0x1Fu) << 6) | (trail & 0x3Fu);
    if (code < 0xA0 || code > 0xFF) return std::nullopt;
    out.push_back(static_cast<char>(code));
    i += 2;
  }
  return out;
}

std::string toUtf8(const Word& word) {
  std::string out;
  for (const char c : word) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

Word lowered(Word word) {
  for (char& c : word) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 0x20);
  }
  return word;
}

bool padLetter(unsigned char b) {
  if (b >= 'a' && b <= 'z') return true;
  static constexpr std::array<unsigned char, 12> others = {0xF1, 0xE1, 0xE0, 0xE9, 0xE8, 0xED,
                                                           0xEC, 0xF3, 0xF2, 0xFA, 0xF9, 0xFC};
  return std::find(others.begin(), others.end(), b) != others.end();
}

bool vowel(unsigned char b) {
  static constexpr std::string_view vowels = "aeiou\xE1\xE0\xE9\xE8\xED\xEC\xF3\xF2\xFA\xF9\xFC";
  return vowels.find(static_cast<char>(b)) != std::string_view::npos;
}

bool padWord(const Word& word) {
  return word.size() >= shortestWord && word.size() <= longestWord &&
         std::all_of(word.begin(), word.end(),
                     [](char c) { return padLetter(static_cast<unsigned char>(c)); });
}

bool hasVowel(const Word& word) {
  return std::any_of(word.begin(), word.end(), [](char c) { return vowel(static_cast<unsigned char>(c)); });
}

template <typename... Parts>
[[noreturn]] void fail(const Parts&... parts) {
  std::cerr << "make_word_list: ";
  (std::cerr << ... << parts) << "\n";
  std::exit(1);
}

std::ifstream openOrFail(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) fail("cannot read ", path);
  return in;
}

// Our own lists: a word a line, '#' to the end of the line a comment, lowered.
std::set<Word> readWordSet(const std::string& path) {
  std::ifstream in = openOrFail(path);
  std::set<Word> words;
  for (std::string line; std::getline(in, line);) {
    if (const auto comment = line.find('#'); comment != std::string::npos) line.resize(comment);
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
    const auto word = toCp1252(line);
    if (!word) fail(path, ": not a word of code page 1252: ", line);
    words.insert(lowered(*word));
  }
  return words;
}

std::vector<std::string> readJsonArray(const std::string& path) {
  std::ifstream in = openOrFail(path);
  try {
    return nlohmann::json::parse(in).get<std::vector<std::string>>();
  } catch (const nlohmann::json::exception& e) {
    fail(path, ": not a JSON array of strings: ", e.what());
  }
}

// Every single word of the public blocklist has been read and decided on: blocked or kept.
void checkPublicBlocklist(const std::string& path, const std::set<Word>& blocked,
                          const std::set<Word>& kept) {
  for (const std::string& entry : readJsonArray(path)) {
    if (entry.find(' ') != std::string::npos) continue;  // phrases never match a single word
    const auto word = toCp1252(entry);
    if (!word) continue;
    const Word low = lowered(*word);
    if (!blocked.count(low) && !kept.count(low))
      fail(path, " lists \"", entry, "\", which is neither blocked nor kept");
  }
  for (const Word& word : kept)
    if (blocked.count(word)) fail("\"", toUtf8(word), "\" is both blocked and kept");
}

struct Options {
  std::string spelling, ranking, blocked, functionWords, publicBlocklist, kept, output;
};

Options parse(int argc, char** argv) {
  Options options;
  const std::map<std::string, std::string Options::*> flags = {
      {"--spelling", &Options::spelling},
      {"--ranking", &Options::ranking},
      {"--blocked", &Options::blocked},
      {"--function-words", &Options::functionWords},
      {"--public-blocklist", &Options::publicBlocklist},
      {"--kept", &Options::kept}};
  for (int i = 1; i < argc; ++i) {
    const auto flag = flags.find(argv[i]);
    if (flag != flags.end() && i + 1 < argc) {
      options.*(flag->second) = argv[++i];
    } else if (options.output.empty() && argv[i][0] != '-') {
      options.output = argv[i];
    } else {
      options.output.clear();
      break;
    }
  }
  if (options.spelling.empty() || options.ranking.empty() || options.blocked.empty() ||
      options.functionWords.empty() || options.output.empty() ||
      options.publicBlocklist.empty() != options.kept.empty()) {
    std::cerr << "usage: make_word_list --spelling FILE --ranking FILE --blocked FILE --function-words FILE\n"
                 "                      [--public-blocklist FILE --kept FILE] OUTPUT\n";
    std::exit(2);
  }
  return options;
}

// The words a rule removed, in the order the rules apply.
enum Rule { NotOnPad, Repeated, NoVowel, NotRanked, FunctionWord, Blocked, RuleCount };
constexpr std::array<const char*, RuleCount> ruleNames = {
    "not 3 to 26 letters the pad can spell", "repeated",      "no vowel",
    "not ranked in the first 40,000",        "function word", "blocked"};

void listWords(const char* title, std::vector<std::pair<size_t, Word>>::const_iterator from,
               std::vector<std::pair<size_t, Word>>::const_iterator to) {
  std::cout << "  " << title << ":";
  for (auto it = from; it != to; ++it) std::cout << " " << toUtf8(it->second) << " (" << it->first + 1 << ")";
  std::cout << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse(argc, argv);
  const std::set<Word> blocked = readWordSet(options.blocked);
  const std::set<Word> functionWords = readWordSet(options.functionWords);
  if (!options.publicBlocklist.empty())
    checkPublicBlocklist(options.publicBlocklist, blocked, readWordSet(options.kept));

  std::unordered_map<Word, size_t> rank;
  const auto ranking = readJsonArray(options.ranking);
  for (size_t i = 0; i < ranking.size() && i < rankCutOff; ++i) {
    const auto word = toCp1252(ranking[i]);
    if (word) rank.emplace(*word, i);  // a form listed twice keeps its better rank
  }

  std::ifstream spelling = openOrFail(options.spelling);
  std::array<size_t, RuleCount> removed{};
  std::set<Word> seen;
  std::vector<std::pair<size_t, Word>> keptByRank;
  std::string out;
  size_t read = 0;
  for (std::string line; keptByRank.size() < mostLines && std::getline(spelling, line);) {
    ++read;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto converted = toCp1252(line);
    const Word word = converted.value_or("");
    const auto found = rank.find(word);
    Rule rule = RuleCount;
    if (!converted || !padWord(word))
      rule = NotOnPad;
    else if (!seen.insert(word).second)
      rule = Repeated;
    else if (!hasVowel(word))
      rule = NoVowel;
    else if (found == rank.end())
      rule = NotRanked;
    else if (functionWords.count(word))
      rule = FunctionWord;
    else if (blocked.count(word))
      rule = Blocked;
    if (rule != RuleCount) {
      ++removed[rule];
      continue;
    }
    keptByRank.emplace_back(found->second, word);
    out += word;
    out += "\r\n";
  }

  std::ofstream output(options.output, std::ios::binary | std::ios::trunc);
  output << out;
  if (!output.flush()) fail("cannot write ", options.output);

  std::sort(keptByRank.begin(), keptByRank.end());
  std::cout << "make_word_list: " << keptByRank.size() << " words of " << read << " in " << options.spelling
            << "; every one ranked in " << options.ranking << "\n";
  for (int rule = 0; rule < RuleCount; ++rule)
    std::cout << "  removed, " << ruleNames[rule] << ": " << removed[rule] << "\n";
  const size_t shown = std::min<size_t>(20, keptByRank.size());
  listWords("most frequent (rank)", keptByRank.begin(), keptByRank.begin() + shown);
  listWords("least frequent (rank)", keptByRank.end() - shown, keptByRank.end());
  return 0;
}

// The Windows programs' import tables and headers against the oldest Windows each is for. The
// loader refuses a program that imports a function the system lacks, or whose header asks for a
// newer system, before any of the game's code runs, with a system error instead of the game's own
// behaviour; so every import must be on allowed_imports.txt, with the oldest Windows that has it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// An NT version, as headers and documentation give it: 5.1 is Windows XP, 5.2 XP x64, 6.0 Vista.
struct NtVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  auto operator<=>(const NtVersion&) const = default;
};

std::ostream& operator<<(std::ostream& out, const NtVersion& version) {
  return out << version.major << '.' << version.minor;
}

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// "kernel32.dll!ExitProcess", the DLL's name in lower case as the loader compares it.
using Import = std::string;

// A PE file as far as its header and import directories go. Every read is bounds-checked, so a
// truncated or garbled file fails the test instead of reading past it.
class Program {
 public:
  explicit Program(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    header_ = u32(0x3C);
    optional_ = header_ + 24;
    wide_ = u16(optional_) == 0x20B;  // PE32+, the 64-bit form
  }

  bool isPe() const { return bytes_.size() > 0x40 && u32(header_) == 0x00004550; }
  NtVersion osVersion() const { return {u16(optional_ + 40), u16(optional_ + 42)}; }
  NtVersion subsystemVersion() const { return {u16(optional_ + 48), u16(optional_ + 50)}; }

  // Size of a data directory: 1 is the import table, 13 the delay-load table.
  uint32_t directorySize(int index) const { return u32(directory(index) + 4); }

  std::vector<Import> imports() const {
    std::vector<Import> found;
    const size_t thunkSize = wide_ ? 8 : 4;
    for (size_t descriptor = offsetOf(u32(directory(1)));; descriptor += 20) {
      const uint32_t lookup = u32(descriptor), name = u32(descriptor + 12), bound = u32(descriptor + 16);
      if (lookup == 0 && name == 0 && bound == 0) break;
      const std::string dll = lowered(text(offsetOf(name)));
      for (size_t thunk = offsetOf(lookup ? lookup : bound);; thunk += thunkSize) {
        const uint64_t entry = wide_ ? (uint64_t{u32(thunk + 4)} << 32) | u32(thunk) : u32(thunk);
        if (entry == 0) break;
        const bool byOrdinal = wide_ ? (entry >> 63) != 0 : (entry >> 31) != 0;
        found.push_back(dll + "!" +
                        (byOrdinal ? "#" + std::to_string(entry & 0xFFFF)
                                   : text(offsetOf(static_cast<uint32_t>(entry & 0x7FFFFFFF)) + 2)));
      }
    }
    return found;
  }

 private:
  uint32_t u16(size_t at) const { return bytes_.at(at) | bytes_.at(at + 1) << 8; }
  uint32_t u32(size_t at) const { return u16(at) | u16(at + 2) << 16; }
  std::string text(size_t at) const {
    std::string value;
    while (bytes_.at(at) != 0) value += static_cast<char>(bytes_.at(at++));
    return value;
  }
  size_t directory(int index) const {
    return optional_ + (wide_ ? 112 : 96) + 8 * static_cast<size_t>(index);
  }
  // The file offset of a relative virtual address, through the section that holds it.
  size_t offsetOf(uint32_t rva) const {
    const size_t sections = optional_ + u16(header_ + 20);
    for (size_t s = 0; s < u16(header_ + 6); ++s) {
      const size_t section = sections + 40 * s;
      const uint32_t start = u32(section + 12), size = std::max(u32(section + 8), u32(section + 16));
      if (rva >= start && rva < start + size) return u32(section + 20) + (rva - start);
    }
    throw std::out_of_range("address " + std::to_string(rva) + " is in no section");
  }

  Bytes bytes_;
  size_t header_ = 0;
  size_t optional_ = 0;
  bool wide_ = false;
};

// allowed_imports.txt: "dll function version" a line, "#" to the end of a line a comment.
std::map<Import, NtVersion> allowedImports() {
  std::map<Import, NtVersion> allowed;
  std::ifstream in(LETRAZUL_ALLOWED_IMPORTS);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line.substr(0, line.find('#')));
    std::string dll, function;
    NtVersion version;
    char dot = 0;
    if (!(fields >> dll)) continue;
    if (!(fields >> function >> version.major >> dot >> version.minor) || dot != '.') {
      ADD_FAILURE() << "allowed_imports.txt: unreadable line: " << line;
      continue;
    }
    allowed[lowered(dll) + "!" + function] = version;
  }
  return allowed;
}

void expectItStartsOn(const std::filesystem::path& file, NtVersion oldest) {
  if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is not built";
  const Program program(file);
  ASSERT_TRUE(program.isPe()) << file;
  EXPECT_LE(program.osVersion(), oldest) << "the header's operating system version";
  EXPECT_LE(program.subsystemVersion(), oldest) << "the header's subsystem version";
  EXPECT_EQ(program.directorySize(13), 0u) << "delay-loaded imports would escape the allowlist";

  const std::vector<Import> imports = program.imports();
  // A reader that found nothing would let anything through.
  ASSERT_NE(std::find(imports.begin(), imports.end(), "kernel32.dll!ExitProcess"), imports.end());
  const std::map<Import, NtVersion> allowed = allowedImports();
  for (const Import& import : imports) {
    const auto entry = allowed.find(import);
    if (entry == allowed.end()) {
      ADD_FAILURE() << import << " is not on allowed_imports.txt: look up the oldest Windows that has it";
    } else {
      EXPECT_LE(entry->second, oldest) << import << " is newer than the oldest Windows " << file << " is for";
    }
  }
}

// The shipped program: Windows XP SP3, and every later one.
TEST(ProgramImports, TheShippedProgramStartsOnWindowsXp) {
  expectItStartsOn(LETRAZUL_PROGRAM_32, {5, 1});
}

// The 64-bit twin: the first 64-bit Windows for x64 processors, XP x64 Edition, and every later one.
TEST(ProgramImports, TheSixtyFourBitProgramStartsOnWindowsXpX64) {
  expectItStartsOn(LETRAZUL_PROGRAM_64, {5, 2});
}

}  // namespace

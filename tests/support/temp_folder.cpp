// Temporary folders for tests that read real files.
#include "tests/support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>

namespace test_support {

namespace {

runtime::ByteString asByteString(const std::filesystem::path& path) {
  const std::string text = path.string();
  return runtime::ByteString(text);
}

}  // namespace

TempFolder::TempFolder() {
  static std::atomic<int> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = std::filesystem::temp_directory_path() /
          ("letrazul-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

runtime::ByteString TempFolder::write(std::string_view name, std::string_view bytes) const {
  std::ofstream out(path_ / std::string(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file(name);
}

runtime::ByteString TempFolder::file(std::string_view name) const {
  return asByteString(path_ / std::string(name));
}

runtime::ByteString TempFolder::prefix() const {
  return asByteString(path_ / "");  // a trailing separator, as `/ ""` gives
}

}  // namespace test_support

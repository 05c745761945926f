// A fresh folder for one test's files, removed again when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "runtime/text/byte_string.h"

namespace test_support {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `bytes` exactly as given to the file `name` in the folder and returns its full name.
  runtime::ByteString write(std::string_view name, std::string_view bytes) const;
  // The full name of `name` in the folder, as the runtime takes file names.
  runtime::ByteString file(std::string_view name) const;
  // The folder's name with a separator after it, as the game keeps its own folder.
  runtime::ByteString prefix() const;
  // The same as the system names it, in UTF-16, as the game keeps its folder for opening files.
  std::u16string widePrefix() const { return (path_ / "").u16string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace test_support

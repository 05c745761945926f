// The Windows version Wine tells one program, by its file name, while a test runs.
#pragma once

#include <string>

namespace test_support {

// Sets HKCU\Software\Wine\AppDefaults\<program>\Version (winxp, win7, win10, win98, ...), which
// Wine reads when a program of that name starts, and removes it again. Real Windows ignores it.
class WineWindowsVersion {
 public:
  WineWindowsVersion(const std::wstring& program, const std::wstring& version);
  ~WineWindowsVersion();
  WineWindowsVersion(const WineWindowsVersion&) = delete;
  WineWindowsVersion& operator=(const WineWindowsVersion&) = delete;

  // False when the key could not be written.
  bool set() const { return set_; }

 private:
  std::wstring key_;
  bool set_ = false;
};

}  // namespace test_support

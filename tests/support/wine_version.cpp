// The Windows version Wine tells one program.
#include "tests/support/wine_version.h"

#include <windows.h>

namespace test_support {

WineWindowsVersion::WineWindowsVersion(const std::wstring& program, const std::wstring& version)
    : key_(L"Software\\Wine\\AppDefaults\\" + program) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  set_ = RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                        static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
}

WineWindowsVersion::~WineWindowsVersion() {
  RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
}

}  // namespace test_support

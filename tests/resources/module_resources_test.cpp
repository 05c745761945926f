// The resources as Windows finds them in a built program: icon, background, sounds, version
// record and manifest, loaded back from this test program, which carries the same ones.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

namespace {

std::string_view resource(const wchar_t* type, int id, WORD language) {
  HRSRC found = FindResourceExW(nullptr, type, MAKEINTRESOURCEW(id), language);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  return {static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found)};
}

template <typename T>
T read(std::string_view bytes, size_t at) {
  T value{};
  if (at + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + at, sizeof(T));
  return value;
}

constexpr WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 1033

TEST(ModuleResources, IconGroup200HoldsOne48PixelImage) {
  const std::string_view group = resource(RT_GROUP_ICON, 200, english);
  ASSERT_EQ(group.size(), 20u);
  EXPECT_EQ(read<WORD>(group, 4), 1) << "one image";
  EXPECT_EQ(read<BYTE>(group, 6), 48);
  EXPECT_EQ(read<BYTE>(group, 7), 48);
  EXPECT_EQ(read<WORD>(group, 12), 32) << "bits per pixel";
  EXPECT_EQ(read<DWORD>(group, 14), 9640u);
  EXPECT_EQ(read<WORD>(group, 18), 1) << "icon 1";
  EXPECT_EQ(resource(RT_ICON, 1, english).size(), 9640u);
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"#200", IMAGE_ICON, 16, 16, 0));
  EXPECT_NE(icon, nullptr) << "and Windows can make a small icon of it";
  DestroyIcon(icon);
}

TEST(ModuleResources, Bitmap202IsTheBackgroundInItsFormat) {
  const std::string_view bitmap = resource(RT_BITMAP, 202, english);
  ASSERT_EQ(bitmap.size(), 4372840u);
  EXPECT_EQ(read<DWORD>(bitmap, 0), 40u);
  EXPECT_EQ(read<LONG>(bitmap, 4), 1200);
  EXPECT_EQ(read<LONG>(bitmap, 8), 911) << "bottom-up";
  EXPECT_EQ(read<WORD>(bitmap, 14), 32);
  EXPECT_EQ(read<DWORD>(bitmap, 16), static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(read<LONG>(bitmap, 24), 3780);
  EXPECT_EQ(read<LONG>(bitmap, 28), 3780);
}

TEST(ModuleResources, EverySoundHasItsFormatAndLength) {
  struct Case {
    int id;
    WORD channels;
    DWORD rate;
    WORD bits;
    DWORD samples;
  } cases[] = {
      {300, 1, 22050, 8, 91163}, {301, 2, 44100, 16, 396900}, {302, 1, 11025, 8, 789},
      {303, 1, 11127, 8, 625},   {304, 1, 22050, 16, 66816},  {305, 2, 44100, 16, 220500},
  };
  for (const auto& c : cases) {
    const std::string_view wave = resource(L"WAVE", c.id, english);
    ASSERT_GT(wave.size(), 12u) << c.id;
    EXPECT_EQ(wave.substr(0, 4), "RIFF");
    EXPECT_EQ(wave.substr(8, 4), "WAVE");
    DWORD samples = 0;
    for (size_t at = 12; at + 8 <= wave.size();) {
      const std::string_view id = wave.substr(at, 4);
      const DWORD size = read<DWORD>(wave, at + 4);
      if (id == "fmt ") {
        EXPECT_EQ(read<WORD>(wave, at + 8), 1) << c.id << ": PCM";
        EXPECT_EQ(read<WORD>(wave, at + 10), c.channels) << c.id;
        EXPECT_EQ(read<DWORD>(wave, at + 12), c.rate) << c.id;
        EXPECT_EQ(read<WORD>(wave, at + 22), c.bits) << c.id;
      }
      if (id == "data") samples = size;
      at += 8 + size + (size & 1);
    }
    EXPECT_EQ(samples, c.samples) << c.id;
  }
}

TEST(ModuleResources, TheVersionRecordNamesTheGame) {
  const std::string_view version = resource(RT_VERSION, 1, MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH));
  ASSERT_FALSE(version.empty());
  // VerQueryValue wants a writable copy of the record.
  std::string copy(version);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
  EXPECT_TRUE(fixed->dwFileFlags & VS_FF_DEBUG);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  struct Case {
    const wchar_t* key;
    std::wstring value;
  } cases[] = {
      {L"Comments", L"Programa Freeware"}, {L"FileVersion", L"VerNum 2.00"}, {L"ProductName", L"Letrazul"}};
  for (const auto& c : cases) {
    wchar_t* value = nullptr;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040A0000\\") + c.key;
    ASSERT_TRUE(VerQueryValueW(copy.data(), path.c_str(), reinterpret_cast<void**>(&value), &size)) << c.key;
    EXPECT_EQ(std::wstring(value), c.value);
  }
}

TEST(ModuleResources, TheManifestAsksForCommonControls6ForThisProcessor) {
  const std::string_view manifest = resource(RT_MANIFEST, 1, english);
  const std::string text(manifest);
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(text.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
  EXPECT_NE(text.find("name=\"letrazul.exe\""), std::string::npos);
  const std::string processor = sizeof(void*) == 8 ? "amd64" : "x86";
  EXPECT_NE(text.find("processorArchitecture=\"" + processor + "\""), std::string::npos);
}

}  // namespace

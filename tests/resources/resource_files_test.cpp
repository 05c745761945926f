// The committed background, icon, sounds, the icon's PNG copy and manifests, read as Windows and viewers do.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace {

using Bytes = std::vector<uint8_t>;

std::string resourcePath(const std::string& name) {
  return std::string(LETRAZUL_RESOURCES_DIR) + "/" + name;
}

Bytes readResource(const std::string& name) {
  std::ifstream in(resourcePath(name), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

uint32_t little(const Bytes& b, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | b.at(at + static_cast<size_t>(i));
  return value;
}

uint32_t big32(const Bytes& b, size_t at) {
  return (b.at(at) << 24) | (b.at(at + 1) << 16) | (b.at(at + 2) << 8) | b.at(at + 3);
}

std::string tag(const Bytes& b, size_t at) {
  return std::string(b.begin() + at, b.begin() + at + 4);
}

struct Field {
  const char* name;
  size_t offset;
  int size;
  uint32_t expected;
};

void expectFields(const Bytes& file, const std::vector<Field>& fields) {
  for (const Field& f : fields) {
    ASSERT_LE(f.offset + static_cast<size_t>(f.size), file.size()) << f.name;
    EXPECT_EQ(little(file, f.offset, f.size), f.expected) << f.name;
  }
}

constexpr int skyWidth = 1200, skyHeight = 911;
constexpr size_t skyPixelsAt = 54, skyBytes = skyPixelsAt + size_t{skyWidth} * skyHeight * 4;

TEST(BackgroundBitmap, HeadersDescribeA32BitBottomUpPicture) {
  const Bytes bmp = readResource("background.bmp");
  ASSERT_EQ(bmp.size(), skyBytes);
  EXPECT_EQ(tag(bmp, 0).substr(0, 2), "BM");
  // clang-format off
  expectFields(bmp, {{"file size", 2, 4, 4372854}, {"pixel offset", 10, 4, 54}, {"header size", 14, 4, 40},
                     {"width", 18, 4, 1200}, {"height", 22, 4, 911}, {"planes", 26, 2, 1}, {"bits", 28, 2, 32},
                     {"compression", 30, 4, 0}, {"image size", 34, 4, 4372800}, {"x per metre", 38, 4, 3780},
                     {"y per metre", 42, 4, 3780}, {"colours", 46, 4, 0}, {"important colours", 50, 4, 0}});
  // clang-format on
}

// Luminance of the pixel in row `y` counted from the top, as the picture is shown.
double skyLuminance(const Bytes& bmp, int x, int y) {
  const size_t at = skyPixelsAt + static_cast<size_t>((skyHeight - 1 - y) * skyWidth + x) * 4;
  return 0.114 * bmp[at] + 0.587 * bmp[at + 1] + 0.299 * bmp[at + 2];
}

TEST(BackgroundBitmap, IsADarkStarFieldWithAGalaxyDarkestWhereTextIsDrawn) {
  const Bytes bmp = readResource("background.bmp");
  ASSERT_EQ(bmp.size(), skyBytes);
  struct Band {
    const char* name;
    int firstRow, endRow;
    double mostMean, mostPercentile99;
  };
  // Titles in the top rows and the letter pad in the bottom quarter need the darkest sky; elsewhere
  // only the stars themselves may be bright.
  const Band bands[] = {{"titles", 0, 90, 5, 15},
                        {"letter pad", 683, skyHeight, 5, 15},
                        {"galaxy", 300, 390, 25, 80},
                        {"whole picture", 0, skyHeight, 15, 80}};
  std::map<std::string, double> means;
  std::vector<double> values;
  for (const Band& band : bands) {
    values.clear();
    for (int y = band.firstRow; y < band.endRow; ++y)
      for (int x = 0; x < skyWidth; ++x) values.push_back(skyLuminance(bmp, x, y));
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double v : values) sum += v;
    means[band.name] = sum / values.size();
    EXPECT_LE(means[band.name], band.mostMean) << band.name;
    EXPECT_LE(values[values.size() * 99 / 100], band.mostPercentile99) << band.name;
  }
  EXPECT_GE(values.end() - std::upper_bound(values.begin(), values.end(), 100.0), 500) << "too few stars";
  EXPECT_GT(means["galaxy"], 2.5 * means["titles"]) << "no galaxy glow in the middle";
  uint64_t red = 0, blue = 0;
  for (size_t at = skyPixelsAt; at < skyBytes; at += 4) {
    blue += bmp[at];
    red += bmp[at + 2];
  }
  EXPECT_GT(blue, 3 * red / 2) << "the night sky is blue-black, so blue must lead in BGRX order";
}

constexpr size_t iconBytes = 22 + 9640, iconColoursAt = 22 + 40,
                 iconMaskAt = iconColoursAt + size_t{48} * 48 * 4;

TEST(Icon, DirectoryAndHeaderDescribeOne48By48ImageWithAlpha) {
  const Bytes ico = readResource("letrazul.ico");
  ASSERT_EQ(ico.size(), iconBytes);
  // clang-format off
  expectFields(ico, {{"reserved", 0, 2, 0}, {"type", 2, 2, 1}, {"image count", 4, 2, 1}, {"entry width", 6, 1, 48},
                     {"entry height", 7, 1, 48}, {"palette", 8, 1, 0}, {"entry planes", 10, 2, 1},
                     {"entry bits", 12, 2, 32}, {"image bytes", 14, 4, 9640}, {"image offset", 18, 4, 22},
                     {"header size", 22, 4, 40}, {"width", 26, 4, 48}, {"colour and mask height", 30, 4, 96},
                     {"planes", 34, 2, 1}, {"bits", 36, 2, 32}, {"compression", 38, 4, 0}});
  // clang-format on
}

// Blue, green, red and alpha of the pixel in row `y` from the top.
std::array<uint8_t, 4> iconPixel(const Bytes& ico, int x, int y) {
  const size_t at = iconColoursAt + static_cast<size_t>((47 - y) * 48 + x) * 4;
  return {ico[at], ico[at + 1], ico[at + 2], ico[at + 3]};
}

TEST(Icon, MaskMarksExactlyTheClearPixels) {
  const Bytes ico = readResource("letrazul.ico");
  ASSERT_EQ(ico.size(), iconBytes);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const bool masked = (ico[iconMaskAt + static_cast<size_t>((47 - y) * 8 + x / 8)] >> (7 - x % 8)) & 1;
      EXPECT_EQ(masked, iconPixel(ico, x, y)[3] == 0) << x << "," << y;
    }
  }
}

TEST(Icon, ShowsAWhiteNWithTildeOnABlueTile) {
  const Bytes ico = readResource("letrazul.ico");
  ASSERT_EQ(ico.size(), iconBytes);
  enum Kind { clear, white, blue };
  struct Spot {
    const char* name;
    int x, y;
    Kind kind;
  };
  // clang-format off
  const Spot spots[] = {{"top left corner", 0, 0, clear}, {"bottom right corner", 47, 47, clear},
                        {"left stem", 15, 30, white}, {"right stem", 32, 36, white}, {"shoulder", 24, 21, white},
                        {"tilde", 18, 8, white}, {"inside the n", 24, 34, blue}, {"under the n", 24, 44, blue},
                        {"above the tilde", 24, 3, blue}, {"left of the n", 6, 30, blue}};
  // clang-format on
  for (const Spot& s : spots) {
    const auto [b, g, r, a] = iconPixel(ico, s.x, s.y);
    EXPECT_EQ(a, s.kind == clear ? 0 : 255) << s.name;
    if (s.kind == white) {
      EXPECT_GE(std::min({r, g, b}), 225) << s.name;
    } else if (s.kind == blue) {
      EXPECT_GT(b, 2 * std::max(r, g)) << s.name;
    }
  }
}

// The README shows icon.png: read back by a maintained decoder, it is the program's icon pixel for
// pixel, and every chunk's checksum holds, as strict viewers require.
TEST(Icon, PngCopyDecodesToTheSamePixels) {
  const Bytes ico = readResource("letrazul.ico");
  const Bytes png = readResource("icon.png");
  ASSERT_EQ(ico.size(), iconBytes);
  int width = 0, height = 0, channels = 0;
  const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgba(
      stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 0),
      stbi_image_free);
  ASSERT_TRUE(rgba) << stbi_failure_reason();
  ASSERT_EQ((std::array{width, height, channels}), (std::array{48, 48, 4})) << "48 x 48 RGBA";
  int differing = 0;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const auto [b, g, r, a] = iconPixel(ico, x, y);
      const stbi_uc* p = rgba.get() + static_cast<size_t>(y * 48 + x) * 4;
      differing += std::array<uint8_t, 4>{p[0], p[1], p[2], p[3]} != std::array<uint8_t, 4>{r, g, b, a};
    }
  }
  EXPECT_EQ(differing, 0);
  size_t at = 8;
  for (; at + 12 <= png.size() && at + 12 + big32(png, at) <= png.size(); at += 12 + big32(png, at)) {
    const uint32_t size = big32(png, at);
    EXPECT_EQ(crc32(0, png.data() + at + 4, size + 4), big32(png, at + 8 + size)) << tag(png, at + 4);
  }
  EXPECT_EQ(at, png.size()) << "chunks do not fill the file";
}

struct SoundCase {
  const char* file;
  uint32_t channels, rate, bits, dataBytes;
  size_t fileBytes;
};

void PrintTo(const SoundCase& c, std::ostream* out) {
  *out << c.file;
}

// Where each chunk's body starts and its size; `problem` says what breaks the RIFF layout, if anything.
struct Chunks {
  std::map<std::string, std::pair<size_t, uint32_t>> found;
  std::string problem;
};

Chunks readChunks(const Bytes& file) {
  Chunks chunks;
  if (file.size() < 12 || tag(file, 0) != "RIFF" || tag(file, 8) != "WAVE") return {{}, "not RIFF WAVE"};
  if (little(file, 4, 4) != file.size() - 8) return {{}, "RIFF size is not the file size less 8"};
  size_t at = 12;
  for (; at + 8 <= file.size(); at += 8 + little(file, at + 4, 4) + (little(file, at + 4, 4) & 1)) {
    if (at + 8 + little(file, at + 4, 4) > file.size()) return {{}, tag(file, at) + " runs past the end"};
    chunks.found[tag(file, at)] = {at + 8, little(file, at + 4, 4)};
  }
  if (at != file.size()) chunks.problem = "chunks, with a pad byte after each odd one, do not fill the file";
  return chunks;
}

class SoundFile : public testing::TestWithParam<SoundCase> {};

TEST_P(SoundFile, IsPcmOfTheExpectedShapeAndSize) {
  const SoundCase& c = GetParam();
  const Bytes file = readResource(c.file);
  EXPECT_EQ(file.size(), c.fileBytes);
  const Chunks chunks = readChunks(file);
  ASSERT_EQ(chunks.problem, "");
  ASSERT_TRUE(chunks.found.count("fmt ") && chunks.found.count("data"));
  const auto [fmt, fmtBytes] = chunks.found.at("fmt ");
  EXPECT_TRUE(fmtBytes == 16 || (fmtBytes == 18 && little(file, fmt + 16, 2) == 0)) << fmtBytes;
  const uint32_t blockAlign = c.channels * c.bits / 8;
  // clang-format off
  expectFields(file, {{"format", fmt, 2, 1}, {"channels", fmt + 2, 2, c.channels}, {"rate", fmt + 4, 4, c.rate},
                      {"bytes per second", fmt + 8, 4, c.rate * blockAlign}, {"block align", fmt + 12, 2, blockAlign},
                      {"bits", fmt + 14, 2, c.bits}});
  // clang-format on
  EXPECT_EQ(chunks.found.at("data").second, c.dataBytes);
}

TEST_P(SoundFile, FadesInAndOutWithoutAClick) {
  const SoundCase& c = GetParam();
  const Bytes file = readResource(c.file);
  const Chunks chunks = readChunks(file);
  ASSERT_EQ(chunks.problem, "");
  ASSERT_TRUE(chunks.found.count("data"));
  const size_t data = chunks.found.at("data").first;
  std::vector<double> s;  // fractions of full scale, channels interleaved
  for (size_t i = 0; i < c.dataBytes; i += c.bits / 8)
    s.push_back(c.bits == 8 ? (file.at(data + i) - 128) / 128.0
                            : static_cast<int16_t>(little(file, data + i, 2)) / 32768.0);
  const size_t edge = c.channels * std::max<size_t>(2, c.rate / 2000);  // half a millisecond
  for (size_t i = 0; i < edge; ++i) {
    const double most = i < c.channels ? 0.02 : 0.25;  // the very first and last frames are silent
    EXPECT_LE(std::abs(s[i]), most) << "start, sample " << i;
    EXPECT_LE(std::abs(s[s.size() - 1 - i]), most) << "end, sample " << i;
  }
  EXPECT_GE(*std::max_element(s.begin(), s.end()), 0.5) << "too quiet";
}

// RIFF files have even lengths: the blip's 625 bytes of samples take a pad byte, so its file is 670 bytes.
INSTANTIATE_TEST_SUITE_P(Sounds, SoundFile,
                         testing::Values(SoundCase{"sound300.wav", 1, 22050, 8, 91163, 91222},
                                         SoundCase{"sound301.wav", 2, 44100, 16, 396900, 396964},
                                         SoundCase{"sound302.wav", 1, 11025, 8, 789, 890},
                                         SoundCase{"sound303.wav", 1, 11127, 8, 625, 670},
                                         SoundCase{"sound304.wav", 1, 22050, 16, 66816, 66860},
                                         SoundCase{"sound305.wav", 2, 44100, 16, 220500, 220564}),
                         [](const testing::TestParamInfo<SoundCase>& info) {
                           return std::string(info.param.file).substr(0, 8);
                         });

// The attributes of each <assemblyIdentity .../> element, in order.
std::vector<std::map<std::string, std::string>> assemblyIdentities(const std::string& xml) {
  std::vector<std::map<std::string, std::string>> found;
  for (size_t at = xml.find("<assemblyIdentity"); at != std::string::npos;
       at = xml.find("<assemblyIdentity", at + 1)) {
    const size_t end = xml.find("/>", at);
    std::map<std::string, std::string> attributes;
    for (size_t equals = xml.find("=\"", at); equals < end; equals = xml.find("=\"", equals + 1)) {
      const size_t nameAt = xml.find_last_of(" \n", equals) + 1, close = xml.find('"', equals + 2);
      attributes[xml.substr(nameAt, equals - nameAt)] = xml.substr(equals + 2, close - equals - 2);
    }
    found.push_back(attributes);
  }
  return found;
}

TEST(Manifests, NameTheProgramAndCommonControls6ForTheirProcessor) {
  for (const std::string arch : {"x86", "amd64"}) {
    SCOPED_TRACE(arch);
    const Bytes bytes = readResource("letrazul-" + arch + ".manifest");
    const std::string xml(bytes.begin(), bytes.end());
    EXPECT_EQ(xml.rfind(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)", 0), 0u);
    EXPECT_NE(xml.find(R"(manifestVersion="1.0")"), std::string::npos);
    EXPECT_LT(xml.find("<dependency>"), xml.find("<dependentAssembly>"));
    EXPECT_LT(xml.find("<dependentAssembly>"), xml.rfind("<assemblyIdentity"));
    const auto identities = assemblyIdentities(xml);
    ASSERT_EQ(identities.size(), 2u);
    // clang-format off
    EXPECT_EQ(identities[0], (std::map<std::string, std::string>{{"type", "win32"}, {"processorArchitecture", arch},
                                                                  {"version", "0.0.0.0"}, {"name", "letrazul.exe"}}));
    EXPECT_EQ(identities[1], (std::map<std::string, std::string>{{"type", "win32"}, {"processorArchitecture", arch},
        {"name", "Microsoft.Windows.Common-Controls"}, {"version", "6.0.0.0"},
        {"publicKeyToken", "6595b64144ccf1df"}, {"language", "*"}}));
    // clang-format on
  }
}

}  // namespace

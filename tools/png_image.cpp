// The PNG encoder: signature, IHDR, one IDAT of stored zlib blocks, IEND.
#include "tools/png_image.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace tools {

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void putBig32(Bytes& out, uint32_t value) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::array<uint32_t, 256> crcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

uint32_t crc32(const uint8_t* data, size_t size) {
  static const std::array<uint32_t, 256> table = crcTable();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const Bytes& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

Bytes zlibStored(const Bytes& raw) {
  Bytes out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary; 0x7801 is a multiple of 31
  size_t at = 0;
  do {
    const size_t size = std::min<size_t>(raw.size() - at, 65535);
    out.push_back(at + size == raw.size() ? 1 : 0);  // the last block says so; type 00 is stored
    put16(out, static_cast<uint32_t>(size));
    put16(out, static_cast<uint32_t>(~size & 0xFFFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  } while (at < raw.size());
  putBig32(out, adler32(raw));
  return out;
}

void putChunk(Bytes& png, const char* type, const Bytes& data) {
  putBig32(png, static_cast<uint32_t>(data.size()));
  const size_t typeAt = png.size();
  // Byte by byte: GCC 12's optimiser misreads a four-byte range insert as an overflow.
  for (int i = 0; i < 4; ++i) png.push_back(static_cast<uint8_t>(type[i]));
  png.insert(png.end(), data.begin(), data.end());
  putBig32(png, crc32(png.data() + typeAt, png.size() - typeAt));
}

}  // namespace

std::vector<uint8_t> encodePng(int width, int height, int channels, const std::vector<uint8_t>& pixels) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  putBig32(header, static_cast<uint32_t>(width));
  putBig32(header, static_cast<uint32_t>(height));
  header.push_back(8);                      // bits per channel
  header.push_back(channels == 4 ? 6 : 2);  // colour type: RGBA or RGB
  header.insert(header.end(), {0, 0, 0});   // deflate, adaptive filters, no interlace
  putChunk(png, "IHDR", header);
  Bytes rows;
  const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(channels);
  for (int y = 0; y < height; ++y) {
    rows.push_back(0);  // filter: none
    const auto start = pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * stride);
    rows.insert(rows.end(), start, start + static_cast<std::ptrdiff_t>(stride));
  }
  putChunk(png, "IDAT", zlibStored(rows));
  putChunk(png, "IEND", {});
  return png;
}

}  // namespace tools

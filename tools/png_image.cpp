// The PNG encoder: stb_image_write lays the file out and filters the rows; zlib deflates them and
// sums the chunks.
#include "tools/png_image.h"

#include <zlib.h>

#include <cstdlib>
#include <stdexcept>

namespace {

// stb's hook for a compressor: zlib at its best level, in memory stb frees with free().
unsigned char* zlibCompress(unsigned char* data, int size, int* compressedSize, int /*quality*/) {
  uLongf capacity = compressBound(static_cast<uLong>(size));
  auto* out = static_cast<unsigned char*>(std::malloc(capacity));
  if (out && compress2(out, &capacity, data, static_cast<uLong>(size), Z_BEST_COMPRESSION) == Z_OK) {
    *compressedSize = static_cast<int>(capacity);
    return out;
  }
  std::free(out);
  return nullptr;
}

void append(void* context, void* data, int size) {
  auto& out = *static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out.insert(out.end(), bytes, bytes + size);
}

}  // namespace

#define STBIW_ZLIB_COMPRESS zlibCompress
#define STBIW_CRC32(buffer, length) static_cast<unsigned int>(crc32(0, buffer, static_cast<uInt>(length)))
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace tools {

std::vector<uint8_t> encodePng(int width, int height, int channels, const std::vector<uint8_t>& pixels) {
  const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(channels);
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) ||
      pixels.size() < stride * static_cast<size_t>(height))
    throw std::invalid_argument("encodePng: the pixels do not fill the picture");
  std::vector<uint8_t> png;
  if (!stbi_write_png_to_func(append, &png, width, height, channels, pixels.data(), static_cast<int>(stride)))
    throw std::runtime_error("encodePng: out of memory");
  return png;
}

}  // namespace tools

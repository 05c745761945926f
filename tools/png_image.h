// PNG files from raw pixels, for the pictures the tools write.
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

// `pixels` holds rows top to bottom, `channels` bytes a pixel: 3 for RGB, 4 for RGBA. The image
// data goes in stored deflate blocks: larger files, but no compressor to get wrong.
std::vector<uint8_t> encodePng(int width, int height, int channels, const std::vector<uint8_t>& pixels);

}  // namespace tools

// PNG files from raw pixels, for the pictures the tools write.
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

// `pixels` holds rows top to bottom, `channels` bytes a pixel: 3 for RGB, 4 for RGBA. Each row gets
// the filter that suits it best and the whole is deflated at zlib's best level, so a picture of the
// game takes a few hundred kilobytes. Throws std::invalid_argument when the sizes do not describe
// `pixels`, and std::runtime_error when memory runs out.
std::vector<uint8_t> encodePng(int width, int height, int channels, const std::vector<uint8_t>& pixels);

}  // namespace tools

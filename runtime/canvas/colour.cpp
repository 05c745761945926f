// Colour values.
#include <algorithm>

#include "runtime/canvas/canvas.h"

namespace runtime {

ColourValue rgb(int32_t red, int32_t green, int32_t blue) {
  auto component = [](int32_t value) { return std::clamp(value, 0, 255); };
  return component(red) | component(green) << 8 | component(blue) << 16;
}

}  // namespace runtime

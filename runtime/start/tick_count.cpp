// Widening a 32-bit millisecond count that wraps.
#include "runtime/start/tick_count.h"

namespace runtime {

uint64_t widenTickCount(uint64_t last, uint32_t now) {
  constexpr uint64_t wrap = uint64_t{1} << 32;
  const uint64_t widened = (last & ~(wrap - 1)) | now;
  return widened < last ? widened + wrap : widened;
}

}  // namespace runtime

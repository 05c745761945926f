// The time of day that seeds the generator, from the native clock.
#include <time.h>

#include <algorithm>

#include "runtime/text/random_generator.h"

namespace runtime {

int32_t millisecondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};  // a leap second still reads as :59, so the value stays below 86400000
  localtime_r(&now.tv_sec, &local);
  return local.tm_hour * 3600000 + local.tm_min * 60000 + std::min(local.tm_sec, 59) * 1000 +
         static_cast<int32_t>(now.tv_nsec / 1000000);
}

}  // namespace runtime

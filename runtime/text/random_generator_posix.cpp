// The time of day that seeds the generator, from the native clock.
#include <time.h>

#include <algorithm>

#include "runtime/text/random_generator.h"

namespace runtime {

long double secondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};  // a leap second still reads as :59, so the value stays below 86400
  localtime_r(&now.tv_sec, &local);
  const long milliseconds = local.tm_hour * 3600000L + local.tm_min * 60000L +
                            std::min(local.tm_sec, 59) * 1000L + now.tv_nsec / 1000000L;
  return milliseconds / 1000.0L;
}

}  // namespace runtime

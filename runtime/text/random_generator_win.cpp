// The time of day that seeds the generator, from Windows' local time.
#include <windows.h>

#include "runtime/text/random_generator.h"

namespace runtime {

long double secondsSinceMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const long milliseconds =
      now.wHour * 3600000L + now.wMinute * 60000L + now.wSecond * 1000L + now.wMilliseconds;
  return milliseconds / 1000.0L;
}

}  // namespace runtime

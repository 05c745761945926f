// The time of day that seeds the generator, from Windows' local time.
#include <windows.h>

#include "runtime/text/random_generator.h"

namespace runtime {

int32_t millisecondsSinceMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600000 + now.wMinute * 60000 + now.wSecond * 1000 + now.wMilliseconds;
}

}  // namespace runtime

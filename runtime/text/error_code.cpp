// The runtime's error number and the system-error table behind it.
#include "runtime/text/error_code.h"

#include <array>

#include "runtime/start/process_exit.h"

namespace runtime {

int32_t errorCode = 0;

void recordError(int32_t number) {
  errorCode = number;
  if (number >= error::firstFatal) endProcess(255);
}

int32_t errorFromSystem(uint32_t systemError) {
  // Indexed by the system error; codes 0 to 39 form one run, the rest are single values.
  static constexpr std::array<uint8_t, 40> low = {
      75,                             // 0 (a failure with no code)
      75, 53,  76,  67, 70, 57, 241,  // 1-7
      7,  241, 241, 51, 51, 51, 7,    // 8-14
      68, 75,  74,  53, 70, 68, 71,   // 15-21
      51, 72,  51,  72, 72, 72, 72,   // 22-28
      72, 72,  72,  70, 70, 72, 72,   // 29-35
      70, 75,  62,  61,               // 36-39
  };
  if (systemError < low.size()) return low[systemError];
  switch (systemError) {
    case 87:  // ERROR_INVALID_PARAMETER
      return 5;
    case 112:  // ERROR_DISK_FULL
      return 61;
    default:
      return 75;
  }
}

}  // namespace runtime

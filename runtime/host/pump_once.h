// One platform's half of doEvents, in message_pump_<platform>.cpp.
#pragma once

#include <cstdint>

namespace runtime {

// Delivers at most one pending message or event of this thread; when none is waiting, sleeps
// `sleepMilliseconds` (0 or more) instead. Returns the number of open host dialogs.
int32_t pumpOnce(int32_t sleepMilliseconds);

}  // namespace runtime

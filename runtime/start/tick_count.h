// A 64-bit millisecond count for systems whose clock gives only 32 bits (Windows before Vista).
#pragma once

#include <cstdint>

namespace runtime {

// The 32-bit millisecond count `now`, which wraps every 49.7 days, widened to 64 bits after the
// count `last` widened before: a wrap is counted as long as two calls come less than 49.7 days apart.
uint64_t widenTickCount(uint64_t last, uint32_t now);

// Windows: GetTickCount widened so, never going back whichever threads call it; what the program's
// GetTickCount64 calls give on a system without that function.
uint64_t countedTickCount();

}  // namespace runtime

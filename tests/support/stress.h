// How many rounds a leak or exhaustion test runs. make test runs enough of them to show a leak of one
// object a round through the runtime's own counts; make stress (LETRAZUL_STRESS=1) runs the full
// count, which also shows a slow growth of memory or a table that fills.
#pragma once

#include <cstdlib>

namespace test_support {

inline bool fullStress() {
  const char* value = std::getenv("LETRAZUL_STRESS");
  return value && value[0] == '1';
}

inline int stressRounds(int quick, int full) {
  return fullStress() ? full : quick;
}

}  // namespace test_support

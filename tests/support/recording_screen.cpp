// RefreshScreen for tests of the rules alone: each frame is one request in the log.
#include "game/screen.h"
#include "tests/support/recording_requests.h"

namespace game {

void RefreshScreen() {
  test_support::record(test_support::refresh());
}

}  // namespace game

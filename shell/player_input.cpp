// Holding inputs while a step runs, and carrying them out in order afterwards.
#include "shell/player_input.h"

#include <deque>
#include <vector>

#include "runtime/media/message_box.h"

namespace shell {

namespace {

std::deque<PlayerInput> held;
// For each running step, innermost last, the number of message boxes open when it began: an input
// arriving with more boxes open than that came through a box, which the player is answering.
std::vector<int32_t> runningSteps;
bool closed = false;

bool MustHold() {
  return !runningSteps.empty() && runtime::openMessageBoxCount() <= runningSteps.back();
}

// One after another in this loop rather than each from the end of the step before, so a long
// queue does not deepen the stack.
void CarryOutHeld() {
  while (!held.empty() && !closed && !MustHold()) {
    const PlayerInput next = held.front();
    held.pop_front();
    runningSteps.push_back(runtime::openMessageBoxCount());
    CarryOut(next);
    runningSteps.pop_back();
    runtime::wakeMessageBoxLoops();
  }
}

}  // namespace

void BeginStep() {
  runningSteps.push_back(runtime::openMessageBoxCount());
}

void EndStep() {
  runningSteps.pop_back();
  runtime::wakeMessageBoxLoops();
  CarryOutHeld();
}

void SubmitInput(PlayerInput input) {
  if (closed) return;
  // Queued even when it can go at once, so that inputs held earlier go first.
  held.push_back(input);
  CarryOutHeld();
}

void CloseInput() {
  closed = true;
  held.clear();
}

int32_t HeldInputCount() {
  return static_cast<int32_t>(held.size());
}

void ResetInput() {
  held.clear();
  runningSteps.clear();
  closed = false;
}

}  // namespace shell

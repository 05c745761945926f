// The player's input: letter-pad presses and menu commands. One input is carried out at a time.
// An input that arrives while a step of the game runs (a frame or a word choice lets one message
// through at a time) is held and carried out, in the order of arrival, once the step is over;
// while a message box is open the window stays usable and inputs are carried out at once.
#pragma once

#include <cstdint>

namespace shell {

struct PlayerInput {
  enum Kind : uint8_t { Press, Command } kind = Press;
  uint32_t value = 0;  // a press's position as the mouse message gives it, or a command's id
  bool operator==(const PlayerInput&) const = default;
};

// Carries the input out now, or holds it until the running step is over.
void SubmitInput(PlayerInput input);

// Runs `step` as a step of the game: inputs that arrive during it are held.
template <typename Step>
void RunStep(Step&& step);

// Drops every held input and refuses new ones: the window is gone.
void CloseInput();

int32_t HeldInputCount();

// Back to the start of the program, for tests.
void ResetInput();

// Carries out one input; the program defines it.
void CarryOut(const PlayerInput& input);

// What RunStep needs: the bookkeeping around a step, and the carrying out of held inputs after it.
void BeginStep();
void EndStep();

template <typename Step>
void RunStep(Step&& step) {
  BeginStep();
  step();
  EndStep();
}

}  // namespace shell

// Inputs that arrive while a step runs wait for it and then go in order; inputs that arrive through
// a message box go at once; nothing runs once the window is gone.
#include "shell/player_input.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/media/message_box.h"
#include "tests/support/recording_requests.h"

namespace shell {

namespace {

std::vector<std::string> journal;
std::function<void(const PlayerInput&)> whileCarryingOut;

std::string NameOf(const PlayerInput& input) {
  return (input.kind == PlayerInput::Press ? "press " : "command ") + std::to_string(input.value);
}

}  // namespace

void CarryOut(const PlayerInput& input) {
  journal.push_back(NameOf(input));
  if (whileCarryingOut) whileCarryingOut(input);
  journal.push_back("end " + NameOf(input));
}

namespace {

PlayerInput press(uint32_t value) {
  return {PlayerInput::Press, value};
}
PlayerInput command(uint32_t value) {
  return {PlayerInput::Command, value};
}

class PlayerInputTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetInput();
    journal.clear();
    whileCarryingOut = nullptr;
    test_support::requestLog = {};
  }
  void TearDown() override { ResetInput(); }
};

TEST_F(PlayerInputTest, InputArrivingDuringAStepWaitsForItAndThenGoesInOrder) {
  whileCarryingOut = [](const PlayerInput& input) {
    if (input == press(1)) {
      SubmitInput(press(2));  // as if let through by a yield of this step
      SubmitInput(command(1005));
      EXPECT_EQ(HeldInputCount(), 2);
    }
  };
  SubmitInput(press(1));
  EXPECT_EQ(journal, (std::vector<std::string>{"press 1", "end press 1", "press 2", "end press 2",
                                               "command 1005", "end command 1005"}));
  EXPECT_EQ(HeldInputCount(), 0);
}

TEST_F(PlayerInputTest, TheStartUpFrameHoldsInputLikeAnyStep) {
  RunStep([] {
    SubmitInput(press(7));
    journal.push_back("frame");
  });
  EXPECT_EQ(journal, (std::vector<std::string>{"frame", "press 7", "end press 7"}));
}

// A box's own loop delivers the player's answers: they are carried out at once, after whatever
// the step held before it opened the box, while the step still waits for the box.
TEST_F(PlayerInputTest, ThroughAMessageBoxInputGoesAtOnceAfterWhatWasHeldBefore) {
  whileCarryingOut = [](const PlayerInput& input) {
    if (input != press(1)) return;
    SubmitInput(press(2));  // held: the step is still drawing
    test_support::requestLog.onRequest = [] {
      test_support::requestLog.onRequest = nullptr;
      SubmitInput(press(3));  // a press while "GAME OVER" is open
    };
    runtime::messageBox(runtime::ByteString("GAME OVER"), runtime::ByteString("Programador"), 0);
  };
  SubmitInput(press(1));
  EXPECT_EQ(journal, (std::vector<std::string>{"press 1", "press 2", "end press 2", "press 3", "end press 3",
                                               "end press 1"}));
}

TEST_F(PlayerInputTest, InputDuringAStepStartedFromABoxIsHeldForThatStep) {
  whileCarryingOut = [](const PlayerInput& input) {
    if (input == press(1)) {
      test_support::requestLog.onRequest = [] {
        test_support::requestLog.onRequest = nullptr;
        SubmitInput(press(2));
      };
      runtime::messageBox(runtime::ByteString("Autor"), runtime::ByteString("Programador ..."), 0);
    } else if (input == press(2)) {
      SubmitInput(press(3));  // arrives during the yields of the step the box let through
      EXPECT_EQ(HeldInputCount(), 1);
    }
  };
  SubmitInput(press(1));
  EXPECT_EQ(journal, (std::vector<std::string>{"press 1", "press 2", "end press 2", "press 3", "end press 3",
                                               "end press 1"}));
}

TEST_F(PlayerInputTest, OnceTheWindowIsGoneHeldAndNewInputIsDropped) {
  whileCarryingOut = [](const PlayerInput& input) {
    if (input == command(1005)) {
      SubmitInput(press(9));
      CloseInput();
    }
  };
  SubmitInput(command(1005));
  SubmitInput(press(10));
  EXPECT_EQ(journal, (std::vector<std::string>{"command 1005", "end command 1005"}));
  EXPECT_EQ(HeldInputCount(), 0);
}

TEST_F(PlayerInputTest, ALongQueueRunsInOrderWithoutDeepeningTheStack) {
  constexpr uint32_t count = 20000;
  whileCarryingOut = [](const PlayerInput& input) {
    if (input == press(0))
      for (uint32_t i = 1; i <= count; ++i) SubmitInput(press(i));
  };
  SubmitInput(press(0));
  ASSERT_EQ(journal.size(), 2 * (count + 1));
  for (uint32_t i = 0; i <= count; ++i) EXPECT_EQ(journal[size_t{2} * i], "press " + std::to_string(i));
}

}  // namespace
}  // namespace shell

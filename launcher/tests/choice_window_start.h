// What the Linux and Windows tests of a calculator started from the choice
// window share: the checks after a start that failed, and input given while
// the calculator runs.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "launcher/launcher.h"
#include "tests/support/temp_directory.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::launcher {

// A calculator that could not be started was reported in one message box,
// and the fields kept the values they had.
inline void ExpectStartReported(const std::string& message, const handoff::Values& fields) {
  const std::vector<ui::testing::MessageBoxText> boxes = ui::testing::TakeAnsweredMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Halvex");
  EXPECT_EQ(boxes[0].text, message);
  EXPECT_EQ(ReadFields(), fields);
}

// Presses "Cone" with the stand-in calculator set to wait for the file `cue`;
// once the stand-in has logged its run (a line "end"), `act` gives input to
// the choice window, and the cue lets the stand-in end.
inline void PressConeAndActWhileItRuns(const std::filesystem::path& log, const std::filesystem::path& cue,
                                       std::function<void()> act) {
  struct State {
    std::filesystem::path log, cue;
    std::function<void()> act;
    bool stop = false, acted = false;
  };
  auto state = std::make_shared<State>(State{log, cue, std::move(act)});
  // Asks again from the event loop until the stand-in runs.
  auto pollHolder = std::make_shared<std::function<void()>>();
  *pollHolder = [state, weak = std::weak_ptr<std::function<void()>>(pollHolder)] {
    if (state->stop) return;
    if (test_support::ReadBytes(state->log).find("end\n") == std::string::npos) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      if (auto again = weak.lock()) ui::testing::RunSoon(*again);
      return;
    }
    state->act();
    state->acted = true;
    test_support::WriteBytes(state->cue, "");
  };
  ui::testing::RunSoon(*pollHolder);
  ui::testing::Click(ChoiceWindow(), kConeButton);
  state->stop = true;
  EXPECT_TRUE(state->acted);
}

// After input given while the calculator ran: nothing of it took effect, the
// close request was ignored, and nothing is replayed later; input works again.
inline void ExpectInputDroppedAndWorkingAgain(const std::function<std::size_t()>& runs) {
  namespace t = ui::testing;
  EXPECT_EQ(runs(), 1u);  // the click on "Planar" started nothing
  EXPECT_EQ(ReadFields(), (handoff::Values{"9", "5", "20", "15", "90"}));
  EXPECT_TRUE(t::IsOnScreen(ChoiceWindow(), kConeButton));
  EXPECT_TRUE(t::TakeAnsweredMessageBoxes().empty());

  t::ProcessEvents();
  EXPECT_EQ(runs(), 1u);
  t::Focus(ChoiceWindow(), kWidthField);
  t::Press(ChoiceWindow(), kWidthField, t::Key::End);
  t::Type(ChoiceWindow(), kWidthField, "7");
  EXPECT_EQ(ui::GetText(ChoiceWindow(), kWidthField), "157");
}

}  // namespace halvex::launcher

// A calculator window on real widgets, started as HXP starts, in a temporary
// current directory (closing it writes hx.tmp there).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "hxp/calculator.h"
#include "hxp/calculator_window.h"
#include "tests/support/temp_directory.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::hxp {

namespace t = ui::testing;

class CalculatorTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (calculatorWindow != nullptr) FinishCalculator();
  }

  // Starts the window from a command line's argument text, without showing it.
  ui::Window* Start(std::string_view arguments = "") {
    StartCalculator(arguments);
    window_ = calculatorWindow;
    return window_;
  }

  // Starts it and shows it, so that events are handled from here on.
  ui::Window* StartShown(std::string_view arguments = "") {
    Start(arguments);
    ui::ShowWindow(window_);
    t::ProcessEvents();
    return window_;
  }

  std::string Text(int id) { return ui::GetText(window_, id); }
  bool Shown(int id) { return ui::IsShown(window_, id); }

  // Replaces a field's text the way a user does: select all, then type.
  void Retype(int id, std::string_view text) {
    t::Focus(window_, id);
    t::Press(window_, id, t::Key::SelectAll);
    if (text.empty()) {
      t::Press(window_, id, t::Key::Backspace);
    } else {
      t::Type(window_, id, text);
    }
  }

  int VisiblePicture() {
    int shown = 0, count = 0;
    for (const PictureControl& picture : kRoomPictures) {
      if (Shown(picture.id)) {
        shown = picture.id;
        ++count;
      }
    }
    return count == 1 ? shown : -count;
  }

  test_support::TempCurrentDirectory directory_;
  ui::Window* window_ = nullptr;
};

}  // namespace halvex::hxp

// A calculator window on real widgets, started as HXP starts, in a temporary
// current directory (closing it writes hx.tmp there).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "hxp/calculator.h"
#include "hxp/calculator_window.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::hxp {

namespace t = ui::testing;

class CalculatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/hxp-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    previous_ = previous;
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
  }

  void TearDown() override {
    if (calculatorWindow != nullptr) FinishCalculator();
    ASSERT_EQ(::chdir(previous_.c_str()), 0);
    std::system(("rm -rf '" + dir_ + "'").c_str());
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

  ui::Window* window_ = nullptr;
  std::string dir_, previous_;
};

}  // namespace halvex::hxp

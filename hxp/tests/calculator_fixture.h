// A calculator window on real widgets, started as HXP starts, in a temporary
// current directory (closing it writes hx.tmp there).
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <direct.h>
// The POSIX call the tests make, on Windows (which has no permission bits).
inline int mkdir(const char* path, int) { return ::_mkdir(path); }
#endif

#include "hxp/calculator.h"
#include "hxp/calculator_window.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::hxp {

namespace t = ui::testing;

class CalculatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    // A new directory under the system's temporary one, named by the test
    // and the moment, so that parallel runs do not meet.
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path dir = fs::temp_directory_path() / ("hxp-test-" + std::string(test->name()) + "-" + std::to_string(now));
    fs::remove_all(dir);
    ASSERT_TRUE(fs::create_directory(dir));
    dir_ = dir.string();
    previous_ = fs::current_path().string();
    fs::current_path(dir);
  }

  void TearDown() override {
    if (calculatorWindow != nullptr) FinishCalculator();
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
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

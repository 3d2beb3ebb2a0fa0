// Where the Windows launcher looks for a calculator: beside itself, then on
// PATH (semicolons), and never in the current directory unless PATH says so;
// what the choice window does when one cannot be started, and with input
// while one runs. The test program has a stand-in HXC.exe beside it (see
// stand_in_hxc_win32.cpp) and no HXP.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "launcher/program_start.h"
#include "launcher/tests/choice_window_start.h"
#include "tests/support/temp_directory.h"
#include "ui/testing.h"
#include "ui/ui.h"
#include "ui/ui_win32_internal.h"

namespace halvex::launcher {
namespace {

namespace fs = std::filesystem;
namespace t = ui::testing;
using handoff::Values;
using test_support::ReadBytes;
using test_support::WriteBytes;

TEST(FindProgram, OwnDirectoryThenThePathNeverImplicitlyTheCurrentDirectory) {
  const fs::path root = fs::temp_directory_path() / "halvex-find-program";
  fs::remove_all(root);
  for (const char* dir : {"own", "a", "b", "cwd", "empty"}) fs::create_directories(root / dir);
  for (const char* dir : {"own", "a", "b", "cwd"}) std::ofstream(root / dir / "HXP.exe") << "MZ";
  const fs::path previous = fs::current_path();
  fs::current_path(root / "cwd");

  const std::string own = (root / "own").string(), a = (root / "a").string(), b = (root / "b").string();
  const std::string empty = (root / "empty").string();
  const struct {
    const char* name;
    std::string ownDirectory, searchPath, found;
  } rows[] = {
      {"own directory first", own, a + ";" + b, own + "\\HXP.exe"},
      {"then the path in order", empty, ";" + b + ";" + a, b + "\\HXP.exe"},
      {"empty entries are not the current directory", empty, ";;", ""},
      {"nothing at all", "", "", ""},
      {"the current directory only when named", empty, ".", ".\\HXP.exe"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    int error = -1;
    EXPECT_EQ(FindProgram("HXP.exe", row.ownDirectory, row.searchPath, error), row.found);
    EXPECT_EQ(error, row.found.empty() ? ENOENT : 0);
  }
  fs::current_path(previous);
  fs::remove_all(root);
}

TEST(StartProgram, AProgramThatIsNowhereIsReportedAndNothingRuns) {
  int error = 0;
  EXPECT_EQ(StartProgram("halvex-no-such-calculator.exe", "9,5,20,15,90", error), -1);
  EXPECT_EQ(error, ENOENT);
}

// Unset by an empty value.
void SetEnvironment(const char* name, const std::string& value) { ::_putenv_s(name, value.c_str()); }

class ChoiceWindowStart : public ::testing::Test {
 protected:
  void SetUp() override {
    t::AnswerMessageBoxes();
    t::TakeAnsweredMessageBoxes();
    if (const char* path = std::getenv("PATH")) savedPath_ = path;
    SetEnvironment("HALVEX_STAND_IN_LOG", LogPath().string());
    BuildChoiceWindow();
    ui::ShowWindow(ChoiceWindow());
  }

  void TearDown() override {
    DestroyChoiceWindow();
    for (const char* name : {"HALVEX_STAND_IN_LOG", "HALVEX_STAND_IN_GO", "HALVEX_STAND_IN_WRITE"}) {
      SetEnvironment(name, "");
    }
    SetEnvironment("PATH", savedPath_);
  }

  fs::path LogPath() const { return temp_.Path() / "stand-in.log"; }
  // The command lines the stand-in was started with.
  std::vector<std::string> Runs() const {
    std::vector<std::string> runs;
    const std::string log = ReadBytes(LogPath());
    for (std::size_t start = 0, end; start < log.size(); start = end + 1) {
      end = log.find('\n', start);
      if (end == std::string::npos) end = log.size();
      if (log.compare(start, end - start, "end") != 0) runs.push_back(log.substr(start, end - start));
    }
    return runs;
  }

  test_support::TempCurrentDirectory temp_;
  std::string savedPath_;
};

TEST_F(ChoiceWindowStart, ACalculatorThatCannotBeStartedIsReportedAndTheFieldsKeepTheirValues) {
  const Values start{"8", "4", "30", "25", "85"};
  const struct {
    const char* name;
    const char* searchPath;
    bool inCurrentDirectory;
  } rows[] = {
      {"found nowhere", "C:\\nonexistent", false},
      {"only in the current directory", ";", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove("HXP.exe");
    if (row.inCurrentDirectory) fs::copy_file(fs::path(OwnDirectory()) / "HXC.exe", "HXP.exe");
    SetEnvironment("PATH", row.searchPath);
    SetFields(start);

    t::Click(ChoiceWindow(), kPlanarButton);
    ExpectStartReported("Cannot start HXP.exe: No such file or directory", start);
    EXPECT_TRUE(Runs().empty());
  }
}

void Post(int id, UINT message, WPARAM wParam, LPARAM lParam) {
  ::PostMessageA(ui::Find(ChoiceWindow(), id)->hwnd, message, wParam, lParam);
}

TEST_F(ChoiceWindowStart, InputGivenWhileTheCalculatorRunsIsDropped) {
  const fs::path cue = temp_.Path() / "go";
  SetEnvironment("HALVEX_STAND_IN_GO", cue.string());
  PressConeAndActWhileItRuns(LogPath(), cue, [] {
    t::Click(ChoiceWindow(), kPlanarButton);
    t::RequestClose(ChoiceWindow());
    // Last: the two calls above handle what is queued, as the wait must.
    // A key as the system queues it: the loop's TranslateMessage makes its character.
    Post(kWidthField, WM_KEYDOWN, '7', 1);
    Post(kWidthField, WM_KEYUP, '7', static_cast<LPARAM>(0xC0000001u));
    Post(kPlanarButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Post(kPlanarButton, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  });
  EXPECT_EQ(Runs(), std::vector<std::string>{"HXC.exe 9,5,20,15,90"});
  ExpectInputDroppedAndWorkingAgain([this] { return Runs().size(); });
}

}  // namespace
}  // namespace halvex::launcher

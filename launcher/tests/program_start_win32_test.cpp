// Where the Windows launcher looks for a calculator: beside itself, then on
// PATH (semicolons), and never in the current directory unless PATH says so.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "launcher/program_start.h"

namespace halvex::launcher {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace halvex::launcher

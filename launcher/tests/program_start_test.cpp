// Where a calculator is looked for, and starting one with a single argument.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "launcher/program_start.h"
#include "tests/support/temp_directory.h"

namespace halvex::launcher {
namespace {

namespace fs = std::filesystem;
using namespace test_support;

void MakeProgram(const fs::path& path, mode_t mode) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  WriteBytes(path, "#!/bin/sh\nexit 0\n");
  ::chmod(path.c_str(), mode);
}

TEST(FindProgram, OwnDirectoryFirstThenTheSearchPathNeverImplicitlyTheCurrentDirectory) {
  TempCurrentDirectory temp;
  MakeProgram("own/HXP", 0755);
  MakeProgram("a/HXP", 0755);
  MakeProgram("b/HXP", 0755);
  MakeProgram("locked/HXP", 0644);
  MakeProgram("HXP", 0755);  // in the current directory
  fs::create_directories("folder/HXP");
  MakeProgram("none/other", 0755);

  const std::string dir = temp.Path().string() + "/";
  const struct {
    const char* name;
    std::string own, path;
    std::string found;
    int error;
  } rows[] = {
      {"own directory before the search path", dir + "own", dir + "a:" + dir + "b", dir + "own/HXP", 0},
      {"search path in its order", dir + "none", dir + "b:" + dir + "a", dir + "b/HXP", 0},
      {"a slash ending a directory", "", dir + "a/", dir + "a/HXP", 0},
      {"no own directory", "", dir + "a", dir + "a/HXP", 0},
      {"not executable, a later one is", "", dir + "locked:" + dir + "b", dir + "b/HXP", 0},
      {"not executable and nothing else", dir + "none", dir + "locked", "", EACCES},
      {"a folder of that name is no program", "", dir + "folder", "", ENOENT},
      {"found nowhere", dir + "none", dir + "none:/nonexistent", "", ENOENT},
      {"empty search path", "", "", "", ENOENT},
      {"empty entries do not mean the current directory", "", "::", "", ENOENT},
      {"empty entries between others are skipped", "", ":" + dir + "none::" + dir + "a:", dir + "a/HXP", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    int error = -1;
    EXPECT_EQ(FindProgram("HXP", row.own, row.path, error), row.found);
    EXPECT_EQ(error, row.error);
  }
}

TEST(StartProgram, RunsTheProgramBesideTheLauncherWithOneArgumentAndIsSeenToEnd) {
  TempCurrentDirectory temp;
  const fs::path log = temp.Path() / "log";
  ::setenv("HALVEX_STAND_IN_LOG", log.c_str(), 1);
  int error = -1;
  // The stand-in HXC is built beside this test program.
  const pid_t child = StartProgram("HXC", " a, b ,", error);
  ::unsetenv("HALVEX_STAND_IN_LOG");
  ASSERT_GT(child, 0) << error;
  EXPECT_EQ(error, 0);
  while (!HasEnded(child)) ::usleep(1000);
  EXPECT_EQ(ReadBytes(log), "name HXC\ncwd " + temp.Path().string() + "\narg  a, b ,\nend\n");
  // Once reaped, there is nothing more to wait for.
  EXPECT_TRUE(HasEnded(child));
}

TEST(StartProgram, AProgramFoundNowhereIsNotStarted) {
  int error = -1;
  EXPECT_EQ(StartProgram("HXP-not-here", "", error), -1);
  EXPECT_EQ(error, ENOENT);
}

}  // namespace
}  // namespace halvex::launcher

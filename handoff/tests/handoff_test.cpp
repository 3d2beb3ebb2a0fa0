#include "handoff/handoff.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "tests/support/temp_directory.h"

namespace halvex::handoff {
namespace {

using Fields = std::vector<std::string>;
using namespace std::string_literals;

TEST(CommandLine, BuildJoinsTheValuesUnchanged) {
  EXPECT_EQ(BuildCommandLine("HXP", kDefaultValues), "HXP 9,5,20,15,90");
  EXPECT_EQ(BuildCommandLine("HXC", kDefaultValues), "HXC 9,5,20,15,90");
  EXPECT_EQ(BuildCommandLine("HXP", {"", "", "", "", ""}), "HXP ,,,,");
  EXPECT_EQ(BuildCommandLine("HXP", {" 9", "5 ", "2,0", "\"15\"", "90"}), "HXP  9,5 ,2,0,\"15\",90");
}

TEST(CommandLine, BuildCutsAt256Characters) {
  Values values = kDefaultValues;
  values[4] = std::string(300, '7');
  const std::string line = BuildCommandLine("HXP", values);
  EXPECT_EQ(line.size(), 256u);
  EXPECT_EQ(line.substr(0, 16), "HXP 9,5,20,15,77");
  values[4] = std::string(256 - 15, '7');  // exactly 256 characters: kept whole
  EXPECT_EQ(BuildCommandLine("HXP", values), "HXP 9,5,20,15," + values[4]);
}

TEST(CommandLine, ArgumentsOfDropsTheCommandAndOneBlank) {
  EXPECT_EQ(ArgumentsOf("HXP 9,5,20,15,90", "HXP"), "9,5,20,15,90");
  EXPECT_EQ(ArgumentsOf("HXP  9,5", "HXP"), " 9,5");
  EXPECT_EQ(ArgumentsOf("HXP ", "HXP"), "");
}

TEST(CommandLine, ArgumentTextDropsTheProgramName) {
  const struct {
    const char* line;
    const char* arguments;
  } rows[] = {
      {"HXP.exe 9,5,20,15,90", "9,5,20,15,90"},
      {"HXP.exe    9,5", "9,5"},
      {"\"C:\\Program Files\\HXP.exe\" 1,2", "1,2"},
      {"\"unclosed 1,2", ""},
      {"HXP.exe", ""},
      {"HXP.exe\t1,2", "\t1,2"},
      {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(ArgumentText(row.line), row.arguments);
  }
}

TEST(CommandLine, SplitArguments) {
  const struct {
    const char* text;
    Fields fields;
  } rows[] = {
      {"", {}},
      {"9,5,20,15,90", {"9", "5", "20", "15", "90"}},
      {"12,4,30,25,95", {"12", "4", "30", "25", "95"}},
      {",,,,", {"", "", "", "", ""}},
      {"9,5", {"9", "5"}},
      {"  9 ,  5  , 20", {"9", "5", "20"}},
      {"\"1,5\",2", {"1,5", "2"}},
      {" \"a b\" tail,2", {"a b", "2"}},
      {"\"open", {"open"}},
      {"9,5,20,15,90,7,8", {"9", "5", "20", "15", "90", "7", "8"}},
      {"-20", {"-20"}},
      {" ", {""}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(SplitArguments(row.text), row.fields);
  }
}

TEST(CommandLine, ACommaInAValueShiftsTheRest) {
  Values values = kDefaultValues;
  values[2] = "2,0";
  const std::string line = BuildCommandLine("HXP", values);
  EXPECT_EQ(SplitArguments(ArgumentsOf(line, "HXP")), (Fields{"9", "5", "2", "0", "15", "90"}));
}

TEST(File, DefaultsAre28Bytes) {
  const std::string bytes = FileBytes(kDefaultValues);
  EXPECT_EQ(bytes, "\"9\"\r\n\"5\"\r\n\"20\"\r\n\"15\"\r\n\"90\"\r\n");
  EXPECT_EQ(bytes.size(), 28u);
  EXPECT_EQ(ParseFileBytes(bytes), kDefaultValues);
}

TEST(File, ParseFileBytes) {
  const struct {
    const char* name;
    std::string bytes;
    Values values;
  } rows[] = {
      {"fewer than five", "\"9\"\r\n\"5\"\r\n", {"9", "5", "", "", ""}},
      {"empty file", "", {"", "", "", "", ""}},
      {"commas", "\"9\",\"5\",20,15,90", {"9", "5", "20", "15", "90"}},
      {"unquoted drops tabs and line feeds", "1\t2\n3\r\n4\r\n5\r6\r\n7", {"123", "4", "5", "6", "7"}},
      {"quote inside a value", "\"ab\"c\"\r\n\"5\"\r\n", {"ab", "c\"", "5", "", ""}},
      {"quoted value spans line ends", "\"a\r\nb\"\r\n\"5\"", {"a\r\nb", "5", "", "", ""}},
      {"ctrl-z ends the values", "\"9\"\r\n\x1a\"5\"\r\n", {"9", "", "", "", ""}},
      {"ctrl-z inside an unquoted value", "12\x1a" "3", {"12", "", "", "", ""}},
      {"blanks before a value are skipped", "   \"9\"  \n\r\n  5 \r\n", {"9", "5 ", "", "", ""}},
      {"unclosed quote runs to the end", "\"9\r\n5", {"9\r\n5", "", "", "", ""}},
      {"empty quoted values", "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n", {"", "", "", "", ""}},
      {"bare CR ends a value", "1\r2\r3\r4\r5", {"1", "2", "3", "4", "5"}},
      {"a NUL ends its value only", "\"a\0b\"\r\n\"5\"\r\n2\0x,15\r\n\"90\""s,
       {"a", "5", "2", "15", "90"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseFileBytes(row.bytes), row.values);
  }
}

class FileOnDisk : public ::testing::Test {
 protected:
  test_support::TempDirectory directory_;
  const std::string dir_ = directory_.Path().string();
  const std::string path_ = dir_ + "/hx.tmp";
};

TEST_F(FileOnDisk, WrittenValuesReadBackTheSame) {
  Values values{"12", "4", "30", "18", "95"};
  std::string error;
  ASSERT_TRUE(WriteFile(path_, values, error)) << error;
  EXPECT_EQ(test_support::ReadBytes(path_), FileBytes(values));
  Values read;
  ASSERT_TRUE(ReadFile(path_, read));
  EXPECT_EQ(read, values);
}

TEST_F(FileOnDisk, WritingOverAFileReplacesItWhole) {
  std::ofstream(path_) << std::string(1000, 'x');
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error)) << error;
  EXPECT_EQ(test_support::ReadBytes(path_).size(), 28u);
}

#ifndef _WIN32  // symbolic links, permissions and users are POSIX matters
TEST_F(FileOnDisk, WritingOverALinkReplacesTheLinkNotItsTarget) {
  const std::string target = dir_ + "/precious";
  std::ofstream(target) << "keep me";
  ASSERT_EQ(::symlink(target.c_str(), path_.c_str()), 0);
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error)) << error;
  EXPECT_EQ(test_support::ReadBytes(target), "keep me");
  struct stat info {};
  ASSERT_EQ(::lstat(path_.c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
}

TEST_F(FileOnDisk, WritingIntoAMissingFolderFailsWithItsReasonAndLeavesNothing) {
  std::string error;
  EXPECT_FALSE(WriteFile(dir_ + "/missing/hx.tmp", kDefaultValues, error));
  EXPECT_NE(error.find("hx.tmp"), std::string::npos);
}

// Runs `scenario` as an ordinary user: as root (as in CI) in a child process
// that has given up its privileges, on files handed to that user first.
bool RunUnprivileged(const std::string& dir, const std::function<bool()>& scenario) {
  if (::geteuid() != 0) return scenario();
  constexpr uid_t kNobody = 65534;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0) return false;
  }
  if (::chown(dir.c_str(), kNobody, kNobody) != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
    std::_Exit(dropped && scenario() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST_F(FileOnDisk, WritingWhereNothingMayBeWrittenFailsAndKeepsThePreviousFile) {
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error));
  ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
  EXPECT_TRUE(RunUnprivileged(dir_, [this] {
    std::string reason;
    return !WriteFile(path_, {"1", "2", "3", "4", "5"}, reason) && reason.find(path_) != std::string::npos;
  }));
  ::chmod(dir_.c_str(), 0755);
  EXPECT_EQ(test_support::ReadBytes(path_), FileBytes(kDefaultValues));
}

TEST_F(FileOnDisk, InAReadOnlyFolderTheFileIsWrittenInPlace) {
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error));
  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
  ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
  const Values values{"1", "2", "3", "4", "5"};
  EXPECT_TRUE(RunUnprivileged(dir_, [&] {
    std::string reason;
    return WriteFile(path_, values, reason);
  }));
  ::chmod(dir_.c_str(), 0755);
  EXPECT_EQ(test_support::ReadBytes(path_), FileBytes(values));
  EXPECT_EQ(ModeOf(path_), 0640u);
}

TEST_F(FileOnDisk, TheReplacedFileKeepsItsMode) {
  std::ofstream(path_) << "old";
  ASSERT_EQ(::chmod(path_.c_str(), 0600), 0);
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error)) << error;
  EXPECT_EQ(ModeOf(path_), 0600u);
}

#else

TEST_F(FileOnDisk, TheReplacedFileKeepsItsAttributes) {
  std::ofstream(path_) << "old";
  ASSERT_NE(::SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE), 0);
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error)) << error;
  EXPECT_EQ(::GetFileAttributesA(path_.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(test_support::ReadBytes(path_), FileBytes(kDefaultValues));
}

// Wine, running as root, cannot make a folder that refuses new files but
// lets its files be written: the test's CMake fixture makes one (an immutable
// folder) where it can, holding a hx.tmp.
TEST(UnwritableFolder, TheFileIsWrittenInPlace) {
  const char* folder = std::getenv("HALVEX_UNWRITABLE_FOLDER");
  if (folder == nullptr) GTEST_SKIP() << "no unwritable folder given";
  const std::string path = std::string(folder) + "\\hx.tmp";
  HANDLE probe = ::CreateFileA((std::string(folder) + "\\probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    ::CloseHandle(probe);
    ::DeleteFileA((std::string(folder) + "\\probe").c_str());
    GTEST_SKIP() << "the folder could not be made unwritable here";
  }
  ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  const Values values{"1", "2", "3", "4", "5"};
  std::string error;
  ASSERT_TRUE(WriteFile(path, values, error)) << error;
  EXPECT_EQ(test_support::ReadBytes(path), FileBytes(values));
}

#endif

// chmod a-w on POSIX systems, the read-only attribute on Windows.
TEST_F(FileOnDisk, AReadOnlyFileIsRefusedWithTheReason) {
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error));
  namespace fs = std::filesystem;
  fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_FALSE(WriteFile(path_, {"1", "2", "3", "4", "5"}, error));
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
  EXPECT_NE(error.find(path_), std::string::npos) << error;
  EXPECT_EQ(test_support::ReadBytes(path_), FileBytes(kDefaultValues));
  fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);  // so that it can be removed
}

TEST_F(FileOnDisk, OnlyItsOwnStaleTemporaryFilesAreRemoved) {
  namespace fs = std::filesystem;
  const auto now = fs::file_time_type::clock::now();
  const struct {
    const char* name;
    fs::file_time_type written;
    bool removed;
  } rows[] = {
      {".hx.tmp.AbC123", now - std::chrono::hours(2), true},
      {".hx.tmp.Old999", now - std::chrono::seconds(70), true},
      {".hx.tmp.XyZ789", now, false},  // a write going on right now
      {".hx.tmp.Short", now - std::chrono::hours(2), false},
      {".hx.tmp.Longer1", now - std::chrono::hours(2), false},
      {".other.AbC123", now - std::chrono::hours(2), false},
      {"hx.tmp.AbC123", now - std::chrono::hours(2), false},
  };
  for (const auto& row : rows) {
    std::ofstream(dir_ + "/" + row.name) << "\"9\"";
    fs::last_write_time(dir_ + "/" + row.name, row.written);
  }
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error)) << error;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(fs::exists(dir_ + "/" + row.name), !row.removed);
  }
  // The write itself leaves nothing behind: hx.tmp and the files kept above.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1 + 5);
}

TEST_F(FileOnDisk, AMissingFileGivesEmptyValues) {
  Values values{"x", "x", "x", "x", "x"};
  EXPECT_FALSE(ReadFile(path_, values));
  EXPECT_EQ(values, (Values{"", "", "", "", ""}));
}

TEST_F(FileOnDisk, AFolderOrFifoIsRefusedWithoutHanging) {
  Values values;
  ASSERT_TRUE(std::filesystem::create_directory(path_));
  EXPECT_FALSE(ReadFile(path_, values));
#ifdef _WIN32
  EXPECT_FALSE(ReadFile("NUL", values));  // a character device, not a disk file
#else
  const std::string fifo = dir_ + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_FALSE(ReadFile(fifo, values));
#endif
}

TEST_F(FileOnDisk, OverlongValuesKeepTheirHeadAndTheValuesAfterThem) {
  {
    std::ofstream out(path_, std::ios::binary);
    const std::string block(1 << 16, 'z');
    out << "\"9\"\r\n\"";
    for (int i = 0; i < 64; ++i) out << block;  // a 4 MiB quoted value
    out << "\"\r\n";
    for (int i = 0; i < 32; ++i) out << block;  // a 2 MiB unquoted one
    out << ",2,3\r\n";
  }
  Values values;
  ASSERT_TRUE(ReadFile(path_, values));
  EXPECT_EQ(values[0], "9");
  EXPECT_EQ(values[1].size(), kMaxValueBytes);
  EXPECT_EQ(values[2].size(), kMaxValueBytes);
  EXPECT_EQ(values[3], "2");
  EXPECT_EQ(values[4], "3");
}

}  // namespace
}  // namespace halvex::handoff

#include "launcher/handoff/handoff.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace halvex::handoff {
namespace {

using Fields = std::vector<std::string>;

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
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseFileBytes(row.bytes), row.values);
  }
}

class FileOnDisk : public ::testing::Test {
 protected:
#ifdef _WIN32
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = (std::filesystem::temp_directory_path() / (std::string("handoff-test-") + test->name())).string();
    std::filesystem::remove_all(dir_);
    ASSERT_TRUE(std::filesystem::create_directory(dir_));
    path_ = dir_ + "/hx.tmp";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
#else
  void SetUp() override {
    char pattern[] = "/tmp/handoff-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = dir_ + "/hx.tmp";
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
#endif

  std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
  }

  std::string dir_, path_;
};

TEST_F(FileOnDisk, writeThenRead_roundTrip) {
  Values values{"12", "4", "30", "18", "95"};
  std::string error;
  ASSERT_TRUE(WriteFile(path_, values, error)) << error;
  EXPECT_EQ(Contents(path_), FileBytes(values));
  Values read;
  ASSERT_TRUE(ReadFile(path_, read));
  EXPECT_EQ(read, values);
}

TEST_F(FileOnDisk, writeOverExisting_replacesWholeFile) {
  std::ofstream(path_) << std::string(1000, 'x');
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error)) << error;
  EXPECT_EQ(Contents(path_).size(), 28u);
}

#ifndef _WIN32  // symbolic links and permissions are POSIX matters
TEST_F(FileOnDisk, writeOverSymlink_replacesTheLinkNotItsTarget) {
  const std::string target = dir_ + "/precious";
  std::ofstream(target) << "keep me";
  ASSERT_EQ(::symlink(target.c_str(), path_.c_str()), 0);
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error)) << error;
  EXPECT_EQ(Contents(target), "keep me");
  struct stat info {};
  ASSERT_EQ(::lstat(path_.c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
}

TEST_F(FileOnDisk, writeIntoMissingDirectory_failsWithReasonAndLeavesNothing) {
  std::string error;
  EXPECT_FALSE(WriteFile(dir_ + "/missing/hx.tmp", kDefaultValues, error));
  EXPECT_NE(error.find("hx.tmp"), std::string::npos);
}

TEST_F(FileOnDisk, writeFails_previousFileStaysWhole) {
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error));
  // A directory we may not write to: the temporary file cannot be created.
  if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
  EXPECT_FALSE(WriteFile(path_, {"1", "2", "3", "4", "5"}, error));
  ::chmod(dir_.c_str(), 0755);
  EXPECT_EQ(Contents(path_), FileBytes(kDefaultValues));
}
#endif

TEST_F(FileOnDisk, readMissingFile_givesEmptyValues) {
  Values values{"x", "x", "x", "x", "x"};
  EXPECT_FALSE(ReadFile(path_, values));
  EXPECT_EQ(values, (Values{"", "", "", "", ""}));
}

TEST_F(FileOnDisk, readDirectoryOrFifo_refusedWithoutHanging) {
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

TEST_F(FileOnDisk, readHugeFile_readsOnlyItsHead) {
  {
    std::ofstream out(path_, std::ios::binary);
    out << "\"9\"\r\n\"";
    const std::string block(1 << 16, 'z');
    for (int i = 0; i < 64; ++i) out << block;  // a 4 MiB value
    out << "\"\r\n\"20\"\r\n";
  }
  Values values;
  ASSERT_TRUE(ReadFile(path_, values));
  EXPECT_EQ(values[0], "9");
  EXPECT_EQ(values[1].size(), kMaxFileBytes - 6);
  EXPECT_EQ(values[2], "");
}

TEST_F(FileOnDisk, snapshotTellsARewriteFromTheSameFile) {
  EXPECT_FALSE(Snapshot(path_).exists);
  std::string error;
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error));
  const FileSnapshot first = Snapshot(path_);
  EXPECT_TRUE(first.exists);
  EXPECT_EQ(first, Snapshot(path_));
  ASSERT_TRUE(WriteFile(path_, kDefaultValues, error));  // same bytes, new file
  EXPECT_NE(first, Snapshot(path_));
}

}  // namespace
}  // namespace halvex::handoff

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_directory.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace halvex::platform {
namespace {

namespace fs = std::filesystem;

std::string Separator() { return std::string(1, PathSeparators().front()); }

TEST(Paths, JoinSplitAndName) {
  const std::string s = Separator();
  const struct {
    std::string path, directory, name;
  } rows[] = {
      {"hx.tmp", ".", "hx.tmp"},
      {JoinPath("plans", "a.svg"), "plans", "a.svg"},
      {JoinPath("plans" + s, "a.svg"), "plans", "a.svg"},
      {JoinPath(s + "tmp" + s + "x", "hx.tmp"), s + "tmp" + s + "x", "hx.tmp"},
      {JoinPath(s, "hx.tmp"), s, "hx.tmp"},
      {JoinPath("", "hx.tmp"), ".", "hx.tmp"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(DirectoryOf(row.path), row.directory);
    EXPECT_EQ(BaseNameOf(row.path), row.name);
  }
  EXPECT_EQ(JoinPath("plans", "a.svg"), "plans" + s + "a.svg");
  EXPECT_TRUE(IsPathSeparator('/'));
}

std::string ReadAll(const std::string& path) {
  InputFile file;
  if (!file.Open(path)) return "(cannot open)";
  std::string bytes;
  char buffer[7];  // smaller than the files: Read is called many times
  while (const std::size_t got = file.Read(buffer, sizeof buffer)) bytes.append(buffer, got);
  return bytes;
}

// Folder names outside any ANSI code page: on Windows every call must go
// through the wide-character API to reach them.
TEST(Files, FoldersNamedInAnyScript) {
  test_support::TempDirectory temp;
  const std::string folder = JoinPath(JoinPath(temp.Path().u8string(), u8"данные"), u8"Zürich 東京");
  ASSERT_EQ(MakeDirectories(folder), 0);
  EXPECT_TRUE(IsDirectory(folder));
  EXPECT_EQ(MakeDirectories(folder), 0);  // already there

  const std::string file = JoinPath(folder, "hx.tmp");
  std::string error;
  ASSERT_TRUE(ReplaceWholeFile(file, "first", error)) << error;
  ASSERT_TRUE(ReplaceWholeFile(file, "second, longer", error)) << error;
  EXPECT_EQ(ReadAll(file), "second, longer");
  const FileStatus status = StatusOf(file);
  EXPECT_TRUE(status.exists && status.regular && !status.directory);
  EXPECT_EQ(status.size, 14u);
  EXPECT_EQ(Runnable(JoinPath(folder, "none")), ENOENT);

  std::FILE* opened = OpenFile(JoinPath(folder, "plan.svg"), "wb");
  ASSERT_NE(opened, nullptr);
  std::fclose(opened);
  EXPECT_TRUE(StatusOf(JoinPath(folder, "plan.svg")).regular);
}

// A writer that must not go through links sees the link, not its target;
// a file, a folder and nothing look the same either way.
TEST(Files, LinksAreSeenAsLinks) {
  test_support::TempDirectory temp;
  const std::string folder = temp.Path().u8string(), file = JoinPath(folder, "plan.svg"),
                    link = JoinPath(folder, "link.svg"), missing = JoinPath(folder, "none");
  std::ofstream(fs::u8path(file), std::ios::binary) << "mine";
  std::error_code linkError;
  fs::create_symlink(fs::u8path(file), fs::u8path(link), linkError);
  const struct {
    std::string path;
    bool exists, regular, directory, link;
  } rows[] = {{file, true, true, false, false},
              {folder, true, false, true, false},
              {missing, false, false, false, false},
              {link, true, false, false, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    if (row.link && linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
    const FileStatus status = LinkStatusOf(row.path);
    EXPECT_EQ(status.exists, row.exists);
    EXPECT_EQ(status.regular, row.regular);
    EXPECT_EQ(status.directory, row.directory);
    EXPECT_EQ(status.link, row.link);
    EXPECT_FALSE(StatusOf(row.path).link);
    InputFile input;
    EXPECT_EQ(input.Open(row.path, false), row.regular);
    EXPECT_EQ(input.Open(row.path), row.regular || row.link);  // the link's target is a file
  }
}

#ifndef _WIN32
// Runs `body` in a child process with its own limits and user, and gives
// back its exit status.
template <typename Body>
int InChild(Body body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A disk that fills up while the file is written, in a folder that takes no
// new files (the temporary file cannot be made): the old content stays whole.
TEST(Files, AFullDiskLeavesTheOldContentWhole) {
  test_support::TempDirectory temp;
  const std::string file = JoinPath(temp.Path().string(), "hx.tmp");
  const std::string old = "\"9\"\r\n\"5\"\r\n\"20\"\r\n\"15\"\r\n\"90\"\r\n";
  std::ofstream(file, std::ios::binary) << old;
  const std::string longer = old + std::string(200, '7');
  for (const bool folderTakesNewFiles : {true, false}) {
    SCOPED_TRACE(folderTakesNewFiles ? "atomic replace" : "in place");
    const int status = InChild([&] {
      // The file size limit stands in for the full disk; as root, a user
      // without rights in the folder stands in for a folder that takes no
      // new files. Either way the write itself runs out of room.
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{old.size(), old.size()};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      if (!folderTakesNewFiles) {
        ::chmod(temp.Path().c_str(), 0755);
        ::chmod(file.c_str(), 0666);
        if (::geteuid() == 0 && ::setuid(65534) != 0) return 3;
        if (::geteuid() != 0) ::chmod(temp.Path().c_str(), 0555);
      }
      std::string error;
      return ReplaceWholeFile(file, longer, error) ? 0 : 1;
    });
    EXPECT_EQ(status, 1) << "the write should have failed";
    EXPECT_EQ(ReadAll(file), old);
    fs::permissions(temp.Path(), fs::perms::owner_all, fs::perm_options::add);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

// Where the file is shorter than before it is shortened only after the new
// content is in, and a longer one grows: both in place.
TEST(Files, InPlaceWritesAnyLength) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  test_support::TempDirectory temp;
  ::chmod(temp.Path().c_str(), 0755);
  const std::string file = JoinPath(temp.Path().string(), "hx.tmp");
  for (const std::string& bytes : {std::string(100, 'a'), std::string("short"), std::string(5000, 'b')}) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "0123456789";
    ::chmod(file.c_str(), 0666);
    const int status = InChild([&] {
      if (::setuid(65534) != 0) return 3;
      std::string error;
      return ReplaceWholeFile(file, bytes, error) ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadAll(file), bytes);
  }
}

// A shared folder with the sticky bit, where the file is another user's and
// writable by all: it may not be renamed over, but it may be written.
TEST(Files, AStickyFolderTakesTheValuesInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  test_support::TempDirectory temp;
  ASSERT_EQ(::chmod(temp.Path().c_str(), 01777), 0);
  const std::string file = JoinPath(temp.Path().string(), "hx.tmp");
  std::ofstream(file, std::ios::binary) << "old";
  ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
  const int status = InChild([&] {
    if (::setuid(65534) != 0) return 3;
    std::string error;
    return ReplaceWholeFile(file, "new values", error) ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadAll(file), "new values");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 0u);  // still root's file: written, not replaced
}

// A current folder whose full name fills the system's limit: the file and
// its temporary one are reached by their plain names.
TEST(Files, APlainNameWorksInTheDeepestFolder) {
  test_support::TempCurrentDirectory temp;
  // Down to a folder whose full name is 4,090 bytes long.
  for (std::size_t size; (size = CurrentDirectory().size()) < 4090;) {
    std::size_t length = 4089 - size;                        // lands on 4,090 at once
    if (length > 200) length = length >= 202 ? 200 : 100;  // or leaves at least one byte
    fs::create_directory(std::string(length, 'd'));
    fs::current_path(std::string(length, 'd'));
  }
  ASSERT_EQ(CurrentDirectory().size(), 4090u);
  std::string error;
  EXPECT_TRUE(ReplaceWholeFile("hx.tmp", "values", error)) << error;
  EXPECT_EQ(ReadAll("hx.tmp"), "values");
  // Its full name is too long for the clean-up's absolute paths.
  ::unlink("hx.tmp");
}
#endif

}  // namespace
}  // namespace halvex::platform

// The one way the programs reach the operating system: paths, file status,
// the atomic replace of a small file, reading a file without blocking,
// starting a program and noticing its end, the process's own folder and its
// command line. Each system has its own implementation (platform_posix.cpp,
// platform_win32.cpp); everything else is written once.
//
// Paths are byte strings: as the file system has them on POSIX systems, and
// UTF-8 on Windows, where every call goes through the wide-character API, so
// that a folder named outside the ANSI code page works as any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace halvex::platform {

// ---- paths

// The separators this system takes in a path; the first is the one it writes.
std::string_view PathSeparators();
bool IsPathSeparator(char c);

// `name` in `directory`, with one separator between them unless the
// directory is empty or already ends in one.
//   JoinPath("plans", "a.svg") == "plans/a.svg"   (on Windows "plans\a.svg")
//   JoinPath("plans/", "a.svg") == "plans/a.svg"   JoinPath("", "a") == "a"
std::string JoinPath(std::string_view directory, std::string_view name);

// The folder of `path` ("." when it names none) and the name in it.
//   DirectoryOf("/tmp/hx.tmp") == "/tmp"  DirectoryOf("hx.tmp") == "."  DirectoryOf("/hx") == "/"
std::string DirectoryOf(const std::string& path);
std::string BaseNameOf(const std::string& path);

// The current directory, for messages that say where a file is (empty when
// the system cannot say).
std::string CurrentDirectory();

// The separator between the folders of a search path such as PATH.
char SearchPathSeparator();

// ---- file status

struct FileStatus {
  bool exists = false;
  bool regular = false;
  bool directory = false;
  bool link = false;  // a symbolic link (on Windows any reparse point); only LinkStatusOf sees one
  // Identity, size and modification time: together they tell whether a file
  // was written between two looks.
  unsigned long long device = 0, inode = 0, size = 0;
  long long modifiedSeconds = 0, modifiedNanoseconds = 0;

  bool SameFileAndContentTime(const FileStatus& other) const {
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
           modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
  }
};

// What is at `path`, following symbolic links.
FileStatus StatusOf(const std::string& path);

// What is at `path` itself: a symbolic link there is reported as a link,
// not as what it points to, so that a writer can refuse to go through it.
FileStatus LinkStatusOf(const std::string& path);

inline bool IsDirectory(const std::string& path) { return StatusOf(path).directory; }

// Makes the directory `path` and any missing ones above it, as mkdir -p does.
// Returns 0, or why not (an errno value; ENOTDIR when something other than
// a directory is in its place).
int MakeDirectories(const std::string& path);

// 0 when `path` is a regular file this process may run; ENOENT when there is
// nothing runnable there, EACCES when there is a file it may not run.
int Runnable(const std::string& path);

// ---- whole small files

// Replaces the file at `path` with `bytes` atomically: a temporary file in
// the same directory is written, flushed and renamed over it, so that a
// failed write leaves the previous file whole, and a symbolic link at `path`
// is replaced rather than followed. The new file keeps the mode (on Windows
// the attributes) of the one it replaces. Where the replace cannot be made
// (a folder that takes no new files, a sticky folder where the file is
// another user's, a name too long for the temporary file) an existing file
// is written in place: its new length is reserved first, so that a full disk
// leaves the old content whole, and it is shortened only once the new bytes
// are in. A file without write permission is never replaced. Temporary
// files left behind by a killed write are removed. On failure returns false
// with the reason in `error`, which names the path.
bool ReplaceWholeFile(const std::string& path, std::string_view bytes, std::string& error);

// std::fopen for a path in this system's path encoding.
std::FILE* OpenFile(const std::string& path, const char* mode);

// A regular file opened for reading. Anything else in its place (a folder,
// a FIFO, a device) is refused without blocking.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // With `followLinks` false a symbolic link at `path` is refused, not
  // followed: what is read is the file that is there.
  bool Open(const std::string& path, bool followLinks = true);
  // Up to `size` bytes into `buffer`; 0 at the end of the file or on error.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  std::intptr_t handle_ = -1;
};

// ---- programs

// A program's file name: `name` with the system's suffix for programs.
//   ExecutableName("HXP") == "HXP"   (on Windows "HXP.exe")
std::string ExecutableName(std::string_view name);

using ProcessId = long long;
inline constexpr ProcessId kNoProcess = -1;

// Starts the program at `path` with the command line `command` + " " +
// `argument`: the command as the caller names the program, the argument as
// one (blanks and commas kept), in the current directory, with this process's
// environment and none of its open files but the standard ones. The
// argument's bytes reach the program as they are. Returns the child's id, or
// kNoProcess with the reason in `error` (an errno value).
ProcessId StartProgram(const std::string& path, std::string_view command, const std::string& argument, int& error);

// True once the child has ended in any way; never blocks.
bool HasEnded(ProcessId child);

// What the window system can wait on for the child's end (the process
// handle on Windows), or nullptr where the end is asked for by HasEnded.
void* EndSignal(ProcessId child);

// The folder of the running program (empty when the system cannot say).
std::string OwnDirectory();

// The search path of the environment (PATH), or the system's default without one.
std::string ProgramSearchPath();

// ---- the process's own command line and output

// The command line as the program was started with: on Windows the raw
// line as the starting program wrote it (the C runtime's splitting would
// lose the double quotes a room value may carry); elsewhere, where a program
// is handed its arguments already split, its name in double quotes and the
// arguments joined by one blank.
std::string CommandLine(int argc, char** argv);

// The arguments after the program name; on Windows as UTF-8 whatever the
// ANSI code page, so that paths given on the command line can be opened.
std::vector<std::string> Arguments(int argc, char** argv);

// Standard output and error take bytes as they are: no line-end conversion.
void UseBinaryStandardStreams();

}  // namespace halvex::platform

// The operating system on Linux and other POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/platform.h"
#include "platform/replace_rule.h"

extern char** environ;

namespace halvex::platform {

namespace {

std::string Reason(const char* what, const std::string& path, int error) {
  return std::string(what) + " " + path + ": " + std::strerror(error);
}

int MakeDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno; }

// Something else in the directory's place is told as such.
int Made(int error, const std::string& path) {
  if (error != EEXIST) return error;
  return IsDirectory(path) ? 0 : ENOTDIR;
}

bool WriteAll(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
    offset += written;
  }
  return true;
}

// Closes a descriptor when it goes out of scope; Close() reports whether the
// last of the data reached the file.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  bool Close() {
    if (fd_ < 0) return true;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
};

void RemoveStaleTemporaryFiles(const std::string& path) {
  DIR* directory = ::opendir(DirectoryOf(path).c_str());
  if (directory == nullptr) return;
  const long long now = ::time(nullptr);
  while (const dirent* entry = ::readdir(directory)) {
    if (!replace::IsTemporaryOf(entry->d_name, path)) continue;
    struct stat info {};
    if (::fstatat(::dirfd(directory), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || !replace::IsStale(now - info.st_mtime)) continue;
    ::unlinkat(::dirfd(directory), entry->d_name, 0);
  }
  ::closedir(directory);
}

// The file itself is overwritten where it cannot be replaced: not atomic,
// but the values are kept. The new length is reserved before a byte is
// overwritten, so that a full disk leaves the old content whole, and the
// file is shortened only once the new content is in.
bool WriteInPlace(const std::string& path, std::string_view bytes, std::string& error) {
  Descriptor file(::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!file.valid()) {
    error = Reason("cannot write", path, errno);
    return false;
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    error = Reason("cannot write", path, S_ISREG(info.st_mode) ? errno : EINVAL);
    return false;
  }
  const auto length = static_cast<off_t>(bytes.size());
  if (length > info.st_size) {
    const int reserved = ::posix_fallocate(file.get(), 0, length);
    if (reserved != 0) {
      // Whatever the reservation added is taken back; the content is as it was.
      [[maybe_unused]] const int ignored = ::ftruncate(file.get(), info.st_size);
      error = Reason("cannot write", path, reserved);
      return false;
    }
  }
  bool written = WriteAll(file.get(), bytes, 0);
  if (written && length < info.st_size) written = ::ftruncate(file.get(), length) == 0;
  written = written && ::fsync(file.get()) == 0;
  const int writeError = errno;
  if (!file.Close() || !written) {
    error = Reason("cannot write", path, written ? errno : writeError);
    return false;
  }
  return true;
}

}  // namespace

std::string CurrentDirectory() {
  std::string directory(256, '\0');
  while (::getcwd(directory.data(), directory.size()) == nullptr) {
    if (errno != ERANGE) return {};
    directory.resize(directory.size() * 2);
  }
  directory.resize(std::strlen(directory.c_str()));
  return directory;
}

namespace {

FileStatus StatusFrom(const struct stat& info) {
  FileStatus status;
  status.exists = true;
  status.regular = S_ISREG(info.st_mode);
  status.directory = S_ISDIR(info.st_mode);
  status.link = S_ISLNK(info.st_mode);
  status.device = info.st_dev;
  status.inode = info.st_ino;
  status.size = static_cast<unsigned long long>(info.st_size);
  status.modifiedSeconds = info.st_mtim.tv_sec;
  status.modifiedNanoseconds = info.st_mtim.tv_nsec;
  return status;
}

}  // namespace

FileStatus StatusOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? StatusFrom(info) : FileStatus{};
}

FileStatus LinkStatusOf(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? StatusFrom(info) : FileStatus{};
}

int MakeDirectories(const std::string& path) {
  if (IsDirectory(path)) return 0;
  int error = MakeDirectory(path);
  if (error != ENOENT) return Made(error, path);
  // A directory above is missing: make it first, then try again.
  const std::size_t last = path.find_last_not_of(PathSeparators());
  const std::size_t separator =
      last == std::string::npos ? std::string::npos : path.find_last_of(PathSeparators(), last);
  if (separator == std::string::npos) return ENOENT;
  error = MakeDirectories(path.substr(0, separator + 1));
  if (error != 0) return error;
  return Made(MakeDirectory(path), path);
}

int Runnable(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return ENOENT;
  return ::access(path.c_str(), X_OK) == 0 ? 0 : EACCES;
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes, std::string& error) {
  struct stat existing {};
  const bool exists = ::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
  // A file without write permission is one the user protects: reported, not
  // replaced, even where the folder would allow replacing it.
  if (exists && ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) {
    error = Reason("cannot write", path, EACCES) + std::string(replace::kReadOnlyNote);
    return false;
  }

  RemoveStaleTemporaryFiles(path);
  // mkstemp fills in the random part.
  std::string temp = JoinPath(DirectoryOf(path), replace::TemporaryPrefix(path) + "XXXXXX");
  static_assert(replace::kRandomPartLength == 6, "mkstemp's random part");
  Descriptor file(::mkstemp(temp.data()));
  if (!file.valid()) {
    const int createError = errno;
    // A folder that takes no new files, or a name with no room for the
    // temporary one: an existing file can still take the values.
    if (exists) return WriteInPlace(path, bytes, error);
    error = Reason("cannot create a temporary file beside", path, createError);
    return false;
  }
  // mkstemp creates the file private to its owner: give it the mode (and,
  // where allowed, the owner) of the file it replaces, or the mode a plainly
  // created file would have.
  if (exists) {
    ::fchmod(file.get(), existing.st_mode & 07777);
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(file.get(), existing.st_uid, existing.st_gid);
    }
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(file.get(), 0666 & ~mask);
  }

  const bool written = WriteAll(file.get(), bytes, 0) && ::fsync(file.get()) == 0;
  int failure = written ? 0 : errno;
  if (!file.Close() && failure == 0) failure = errno;
  const char* what = "cannot write";
  if (failure == 0) {
    if (::rename(temp.c_str(), path.c_str()) == 0) return true;
    failure = errno;
    what = "cannot replace";
  }
  ::unlink(temp.c_str());
  // A full disk or a sticky folder where the file is another user's: the
  // file's own blocks may still take the values.
  if (exists) return WriteInPlace(path, bytes, error);
  error = Reason(what, path, failure);
  return false;
}

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

InputFile::~InputFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool InputFile::Open(const std::string& path, bool followLinks) {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
  // Non-blocking, so that a FIFO or device in the file's place cannot hang
  // the reader; anything but a regular file is refused.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  handle_ = fd;
  return true;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  if (handle_ < 0) return 0;
  while (true) {
    const ssize_t got = ::read(static_cast<int>(handle_), buffer, size);
    if (got < 0 && errno == EINTR) continue;
    return got > 0 ? static_cast<std::size_t>(got) : 0;
  }
}

ProcessId StartProgram(const std::string& path, std::string_view command, const std::string& argument, int& error) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // The child inherits none of the parent's files (the display connection
  // among them), only standard input, output and error.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  std::string programName(command);
  std::string argumentText = argument;
  char* argv[] = {programName.data(), argumentText.data(), nullptr};
  pid_t child = -1;
  // The C library reports a failed exec here too, not only a failed fork.
  const int result = posix_spawn(&child, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) {
    error = result;
    return kNoProcess;
  }
  error = 0;
  return child;
}

bool HasEnded(ProcessId child) {
  int status = 0;
  pid_t result;
  do {
    result = ::waitpid(static_cast<pid_t>(child), &status, WNOHANG);
  } while (result < 0 && errno == EINTR);
  // Anything but "still running" ends the wait: a child that cannot be
  // waited for any more will never be seen to end.
  return result != 0;
}

void* EndSignal(ProcessId) { return nullptr; }  // the window layer asks HasEnded every few milliseconds

std::string OwnDirectory() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return DirectoryOf(path);
}

std::string ProgramSearchPath() {
  if (const char* path = std::getenv("PATH")) return path;
  // What the C library's own search takes when PATH is unset, minus the
  // current directory.
  return "/bin:/usr/bin";
}

std::string CommandLine(int argc, char** argv) {
  std::string name = argc > 0 ? argv[0] : "";
  name.erase(std::remove(name.begin(), name.end(), '"'), name.end());
  std::string line = '"' + name + '"';
  for (int i = 1; i < argc; ++i) (line += ' ') += argv[i];
  return line;
}

std::vector<std::string> Arguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

void UseBinaryStandardStreams() {}  // POSIX streams never convert line ends

}  // namespace halvex::platform

#include "handoff/handoff.h"

#ifndef _WIN32  // the file itself on Windows: handoff_win32.cpp
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "handoff/replace.h"

namespace halvex::handoff {

namespace {

constexpr char kCtrlZ = 0x1A;

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20; }

}  // namespace

std::string BuildCommandLine(std::string_view command, const Values& values) {
  std::string line(command);
  line += ' ';
  for (int i = 0; i < kValueCount; ++i) {
    if (i > 0) line += ',';
    line += values[i];
  }
  if (line.size() > kMaxCommandLine) line.resize(kMaxCommandLine);
  return line;
}

std::string ArgumentsOf(std::string_view commandLine, std::string_view command) {
  const std::size_t start = command.size() + 1;
  return start < commandLine.size() ? std::string(commandLine.substr(start)) : std::string();
}

std::string_view ArgumentText(std::string_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const std::size_t close = commandLine.find('"', 1);
    i = close == std::string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != ' ' && !IsControl(commandLine[i])) ++i;
  }
  while (i < commandLine.size() && commandLine[i] == ' ') ++i;
  return commandLine.substr(i);
}

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && text[i] == ' ') ++i;
    std::string field;
    if (i < text.size() && text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? text.size() : close;
      field = std::string(text.substr(i + 1, end - i - 1));
      i = end;
      while (i < text.size() && text[i] != ',') ++i;
    } else {
      const std::size_t comma = std::min(text.find(',', i), text.size());
      std::size_t end = comma;
      while (end > i && text[end - 1] == ' ') --end;
      field = std::string(text.substr(i, end - i));
      i = comma;
    }
    fields.push_back(std::move(field));
    if (i >= text.size()) break;
    ++i;  // the comma
  }
  return fields;
}

std::string FileBytes(const Values& values) {
  std::string bytes;
  for (const std::string& value : values) {
    bytes += '"';
    bytes += value;
    bytes += "\"\r\n";
  }
  return bytes;
}

namespace {

class ValueReader {
 public:
  explicit ValueReader(std::string_view bytes) : bytes_(bytes) {}

  std::string Next() {
    while (Peek() == ' ') ++pos_;
    if (AtEnd() || Peek() == kCtrlZ) return {};
    return Peek() == '"' ? Quoted() : Unquoted();
  }

 private:
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  char Peek() const { return AtEnd() ? '\0' : bytes_[pos_]; }

  void ConsumeLineEnd() {
    ++pos_;  // the CR
    if (Peek() == '\n') ++pos_;
  }

  std::string Quoted() {
    ++pos_;
    const std::size_t close = std::min(bytes_.find('"', pos_), bytes_.size());
    std::string value(bytes_.substr(pos_, close - pos_));
    pos_ = close;
    if (AtEnd()) return value;
    ++pos_;  // the closing quote
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n')) ++pos_;
    if (Peek() == ',') {
      ++pos_;
    } else if (Peek() == '\r') {
      ConsumeLineEnd();
    }
    return value;
  }

  std::string Unquoted() {
    std::string value;
    while (!AtEnd()) {
      const char c = Peek();
      if (c == ',') {
        ++pos_;
        break;
      }
      if (c == '\r') {
        ConsumeLineEnd();
        break;
      }
      if (c == kCtrlZ) break;
      if (c != '\t' && c != '\n') value += c;
      ++pos_;
    }
    return value;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

#ifndef _WIN32
std::string Reason(const char* what, const std::string& path, int error) {
  return std::string(what) + " " + path + ": " + std::strerror(error);
}

void RemoveStaleTemporaryFiles(const std::string& path) {
  DIR* directory = ::opendir(replace::DirectoryOf(path).c_str());
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

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

#endif  // !_WIN32
}  // namespace

Values ParseFileBytes(std::string_view bytes) {
  ValueReader reader(bytes);
  Values values;
  for (std::string& value : values) {
    value = reader.Next();
    // Text ends at a NUL wherever it is shown or passed on; cut it here, so
    // that the command line built from the values is not cut short there.
    value.resize(std::min(value.find('\0'), value.size()));
  }
  return values;
}

namespace replace {

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of(kSeparators);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of(kSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& directory, std::string_view name) {
  std::string joined = directory;
  if (joined.empty() || kSeparators.find(joined.back()) == std::string_view::npos) joined += kSeparator;
  joined += name;
  return joined;
}

std::string TemporaryPrefix(const std::string& path) { return "." + BaseNameOf(path) + "."; }

bool IsTemporaryOf(std::string_view name, const std::string& path) {
  const std::string prefix = TemporaryPrefix(path);
  return name.size() == prefix.size() + kRandomPartLength && name.substr(0, prefix.size()) == prefix;
}

}  // namespace replace

#ifndef _WIN32  // the file itself on Windows: handoff_win32.cpp
namespace {

// Where the folder may not be written but the file may, the file is written
// in place: not atomic, but the values are kept, as before atomic saving.
bool WriteInPlace(const std::string& path, std::string_view bytes, std::string& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = Reason("cannot write", path, errno);
    return false;
  }
  struct stat info {};
  bool written = ::fstat(fd, &info) == 0;
  if (written && !S_ISREG(info.st_mode)) {
    errno = EINVAL;
    written = false;
  }
  written = written && ::ftruncate(fd, 0) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int writeError = errno;
  if (::close(fd) != 0 || !written) {
    error = Reason("cannot write", path, written ? errno : writeError);
    return false;
  }
  return true;
}

}  // namespace

bool WriteFile(const std::string& path, const Values& values, std::string& error) {
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
  std::string temp = replace::JoinPath(replace::DirectoryOf(path), replace::TemporaryPrefix(path) + "XXXXXX");
  static_assert(replace::kRandomPartLength == 6, "mkstemp's random part");
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    const int createError = errno;
    if (exists && (createError == EACCES || createError == EPERM)) return WriteInPlace(path, FileBytes(values), error);
    error = Reason("cannot create a temporary file beside", path, createError);
    return false;
  }
  // mkstemp creates the file private to its owner: give it the mode (and,
  // where allowed, the owner) of the file it replaces, or the mode a plainly
  // created file would have.
  if (exists) {
    ::fchmod(fd, existing.st_mode & 07777);
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
    }
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }

  const bool written = WriteAll(fd, FileBytes(values)) && ::fsync(fd) == 0;
  const int writeError = errno;
  if (::close(fd) != 0 || !written) {
    error = Reason("cannot write", path, written ? errno : writeError);
    ::unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    error = Reason("cannot replace", path, errno);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool ReadFile(const std::string& path, Values& values) {
  values = Values{};
  // Non-blocking, so that a FIFO or device in the file's place cannot hang
  // the reader; anything but a regular file is refused.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  std::string bytes;
  bytes.resize(kMaxFileBytes);
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  bytes.resize(filled);
  values = ParseFileBytes(bytes);
  return true;
}

#endif  // !_WIN32
}  // namespace halvex::handoff

#include "hxplan/file_system.h"

#include <cerrno>
#include <string_view>

#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace halvex::plan {

namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "/\\:";  // "C:" is a directory of its own
constexpr char kSeparator = '\\';
int MakeDirectory(const std::string& path) { return ::_mkdir(path.c_str()) == 0 ? 0 : errno; }
#else
constexpr const char* kSeparators = "/";
constexpr char kSeparator = '/';
int MakeDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno; }
#endif

// Something else in the directory's place is told as such.
int Made(int error, const std::string& path) {
  if (error != EEXIST) return error;
  return IsDirectory(path) ? 0 : ENOTDIR;
}

}  // namespace

bool IsDirectory(const std::string& path) {
#ifdef _WIN32
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
#else
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

int MakeDirectories(const std::string& path) {
  if (IsDirectory(path)) return 0;
  int error = MakeDirectory(path);
  if (error != ENOENT) return Made(error, path);
  // A directory above is missing: make it first, then try again.
  const std::size_t last = path.find_last_not_of(kSeparators);
  const std::size_t separator = last == std::string::npos ? std::string::npos : path.find_last_of(kSeparators, last);
  if (separator == std::string::npos) return ENOENT;
  error = MakeDirectories(path.substr(0, separator + 1));
  if (error != 0) return error;
  return Made(MakeDirectory(path), path);
}

std::string PathIn(const std::string& directory, const std::string& name) {
  if (directory.empty() || std::string_view(kSeparators).find(directory.back()) != std::string_view::npos) {
    return directory + name;
  }
  return directory + kSeparator + name;
}

}  // namespace halvex::plan

#include "launcher/program_start.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "launcher/search_path.h"

extern char** environ;

namespace halvex::launcher {

namespace {

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

// 0 when the file can be run, else why not (ENOENT: nothing runnable there).
int Runnable(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return ENOENT;
  return ::access(path.c_str(), X_OK) == 0 ? 0 : EACCES;
}

}  // namespace

std::string FindProgram(std::string_view name, std::string_view ownDirectory, std::string_view searchPath,
                        int& error) {
  // As the shell does: a match that cannot be run is remembered, and the
  // search goes on in case a later directory holds one that can.
  error = ENOENT;
  for (std::string_view directory : SearchDirectories(ownDirectory, searchPath)) {
    std::string path = JoinPath(directory, name);
    const int why = Runnable(path);
    if (why == 0) {
      error = 0;
      return path;
    }
    if (why == EACCES) error = EACCES;
  }
  return {};
}

std::string OwnDirectory() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string SearchPath() {
  if (const char* path = std::getenv("PATH")) return path;
  // What the C library's own search takes when PATH is unset, minus the
  // current directory.
  return "/bin:/usr/bin";
}

pid_t StartProgram(std::string_view name, const std::string& argument, int& error) {
  const std::string path = FindProgram(name, OwnDirectory(), SearchPath(), error);
  if (path.empty()) return -1;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // The child inherits none of the launcher's files (the display connection
  // among them), only standard input, output and error.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  std::string programName(name);
  std::string argumentText = argument;
  char* argv[] = {programName.data(), argumentText.data(), nullptr};
  pid_t child = -1;
  // The C library reports a failed exec here too, not only a failed fork.
  const int result = posix_spawn(&child, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) {
    error = result;
    return -1;
  }
  error = 0;
  return child;
}

bool HasEnded(pid_t child) {
  int status = 0;
  pid_t result;
  do {
    result = ::waitpid(child, &status, WNOHANG);
  } while (result < 0 && errno == EINTR);
  // Anything but "still running" ends the wait: a child that cannot be
  // waited for any more will never be seen to end.
  return result != 0;
}

void* EndSignal(pid_t) { return nullptr; }  // the layer asks HasEnded every few milliseconds

}  // namespace halvex::launcher

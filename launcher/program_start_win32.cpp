// Starting a calculator on Windows: CreateProcessA with the calculator's
// command line, the program found beside the launcher or on PATH.
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <map>

#include "launcher/program_start.h"
#include "launcher/search_path.h"

namespace halvex::launcher {

namespace {

// The running children by process id: the id is what the launcher holds,
// the handle what the end is waited for on.
std::map<pid_t, HANDLE> children;

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  path += name;
  return path;
}

bool IsFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_BAD_EXE_FORMAT:
      return ENOEXEC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    default:
      return EINVAL;
  }
}

}  // namespace

// The search path is separated by semicolons here; the current directory is
// searched only when the path names it.
std::string FindProgram(std::string_view name, std::string_view ownDirectory, std::string_view searchPath,
                        int& error) {
  for (std::string_view directory : SearchDirectories(ownDirectory, searchPath)) {
    std::string path = JoinPath(directory, name);
    if (IsFile(path)) {
      error = 0;
      return path;
    }
  }
  error = ENOENT;
  return {};
}

std::string OwnDirectory() {
  char path[MAX_PATH] = "";
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::string whole(path, length);
  const std::size_t slash = whole.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : whole.substr(0, slash);
}

std::string SearchPath() {
  const char* path = std::getenv("PATH");
  return path != nullptr ? path : "";
}

pid_t StartProgram(std::string_view name, const std::string& argument, int& error) {
  const std::string path = FindProgram(name, OwnDirectory(), SearchPath(), error);
  if (path.empty()) return -1;
  // The command line names the program as the launcher knows it, not by
  // the path it was found at: "HXP.exe 9,5,20,15,90".
  std::string commandLine(name);
  commandLine += ' ';
  commandLine += argument;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    error = ErrnoOf(::GetLastError());
    return -1;
  }
  ::CloseHandle(process.hThread);
  const auto id = static_cast<pid_t>(process.dwProcessId);
  children[id] = process.hProcess;
  error = 0;
  return id;
}

bool HasEnded(pid_t child) {
  const auto found = children.find(child);
  if (found == children.end()) return true;
  if (::WaitForSingleObject(found->second, 0) == WAIT_TIMEOUT) return false;
  ::CloseHandle(found->second);
  children.erase(found);
  return true;
}

void* EndSignal(pid_t child) {
  const auto found = children.find(child);
  return found == children.end() ? nullptr : found->second;
}

}  // namespace halvex::launcher

#include "launcher/program_start.h"

#include <cerrno>

#include "launcher/search_path.h"

namespace halvex::launcher {

std::string FindProgram(std::string_view name, std::string_view ownDirectory, std::string_view searchPath,
                        int& error) {
  // As the shell does: a match that cannot be run is remembered, and the
  // search goes on in case a later directory holds one that can.
  error = ENOENT;
  for (std::string_view directory : SearchDirectories(ownDirectory, searchPath)) {
    std::string path = platform::JoinPath(directory, name);
    const int why = platform::Runnable(path);
    if (why == 0) {
      error = 0;
      return path;
    }
    if (why == EACCES) error = EACCES;
  }
  return {};
}

platform::ProcessId StartProgram(std::string_view name, const std::string& argument, int& error) {
  const std::string path = FindProgram(name, platform::OwnDirectory(), platform::ProgramSearchPath(), error);
  if (path.empty()) return platform::kNoProcess;
  // The command line names the program as the launcher knows it, not by the
  // path it was found at: "HXP 9,5,20,15,90".
  return platform::StartProgram(path, name, argument, error);
}

}  // namespace halvex::launcher

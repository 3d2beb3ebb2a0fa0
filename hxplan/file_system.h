// The few file system operations hxplan needs, from the system's seam.
// std::filesystem would bring the C++ locale and stream machinery into the
// Windows program (its paths convert through codecvt), which is most of its
// size.
#pragma once

#include <string>

#include "platform/platform.h"

namespace halvex::plan {

using platform::IsDirectory;
using platform::MakeDirectories;
using platform::OpenFile;

// `name` in the directory `directory`, with one separator between them
// ('\' on Windows, '/' elsewhere) unless the directory already ends in one.
inline std::string PathIn(const std::string& directory, const std::string& name) {
  return platform::JoinPath(directory, name);
}

}  // namespace halvex::plan

// The few file system operations hxplan needs, on narrow paths as the
// command line gives them. std::filesystem would bring the C++ locale and
// stream machinery into the Windows program (its paths convert through
// codecvt), which is most of its size.
#pragma once

#include <string>

namespace halvex::plan {

// True when `path` names a directory (following symbolic links).
bool IsDirectory(const std::string& path);

// Makes the directory `path` and any missing ones above it, as mkdir -p does.
// Returns 0, or why not (an errno value; ENOTDIR when something other than
// a directory is in its place).
int MakeDirectories(const std::string& path);

// `name` in the directory `directory`, with one separator between them
// ('\' on Windows, '/' elsewhere) unless the directory already ends in one.
std::string PathIn(const std::string& directory, const std::string& name);

}  // namespace halvex::plan

// The directories of a search path such as PATH, for finding a calculator.
#pragma once

#include <string_view>
#include <vector>

namespace halvex::launcher {

// The entries of `searchPath` between `separator`s, in order. Empty entries
// are dropped: the current directory is searched only where the path names
// it, never for an empty entry.
//   SplitSearchPath("/usr/bin::/bin:", ':') == {"/usr/bin", "/bin"}
std::vector<std::string_view> SplitSearchPath(std::string_view searchPath, char separator);

// Where a program is looked for, in order: `ownDirectory` (when known), then
// the entries of `searchPath` split at platform::SearchPathSeparator().
std::vector<std::string_view> SearchDirectories(std::string_view ownDirectory, std::string_view searchPath);

}  // namespace halvex::launcher

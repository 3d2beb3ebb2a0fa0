#include "launcher/search_path.h"

#include "platform/platform.h"

namespace halvex::launcher {

std::vector<std::string_view> SplitSearchPath(std::string_view searchPath, char separator) {
  std::vector<std::string_view> directories;
  while (!searchPath.empty()) {
    const std::size_t end = searchPath.find(separator);
    const std::string_view entry = searchPath.substr(0, end);
    if (!entry.empty()) directories.push_back(entry);
    if (end == std::string_view::npos) break;
    searchPath.remove_prefix(end + 1);
  }
  return directories;
}

std::vector<std::string_view> SearchDirectories(std::string_view ownDirectory, std::string_view searchPath) {
  std::vector<std::string_view> directories;
  if (!ownDirectory.empty()) directories.push_back(ownDirectory);
  for (std::string_view entry : SplitSearchPath(searchPath, platform::SearchPathSeparator())) directories.push_back(entry);
  return directories;
}

}  // namespace halvex::launcher

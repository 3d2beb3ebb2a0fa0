// Paths and the temporary-file rule: the same code on every system, with
// the separators each takes.
#include "platform/platform.h"
#include "platform/replace_rule.h"

namespace halvex::platform {

namespace {

#ifdef _WIN32
// "C:" is a folder of its own, but only '\' is written.
constexpr std::string_view kSeparators = "\\/:";
constexpr char kSearchSeparator = ';';
constexpr std::string_view kExecutableSuffix = ".exe";
#else
constexpr std::string_view kSeparators = "/";
constexpr char kSearchSeparator = ':';
constexpr std::string_view kExecutableSuffix = "";
#endif

}  // namespace

std::string_view PathSeparators() { return kSeparators; }

bool IsPathSeparator(char c) { return kSeparators.find(c) != std::string_view::npos; }

char SearchPathSeparator() { return kSearchSeparator; }

std::string ExecutableName(std::string_view name) { return std::string(name) + std::string(kExecutableSuffix); }

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string joined(directory);
  if (!joined.empty() && !IsPathSeparator(joined.back())) joined += kSeparators.front();
  joined += name;
  return joined;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t last = path.find_last_of(kSeparators);
  if (last == std::string::npos) return ".";
  // The root's separator, and a drive's colon, belong to the folder.
  return last == 0 || path[last] == ':' ? path.substr(0, last + 1) : path.substr(0, last);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t last = path.find_last_of(kSeparators);
  return last == std::string::npos ? path : path.substr(last + 1);
}

namespace replace {

std::string TemporaryPrefix(const std::string& path) { return "." + BaseNameOf(path) + "."; }

bool IsTemporaryOf(std::string_view name, const std::string& path) {
  const std::string prefix = TemporaryPrefix(path);
  return name.size() == prefix.size() + kRandomPartLength && name.substr(0, prefix.size()) == prefix;
}

}  // namespace replace
}  // namespace halvex::platform

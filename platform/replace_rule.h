// What both systems' atomic replace shares: where its temporary file goes,
// the file's name, when one was left behind by a killed write, and how a
// refusal reads. The file system calls are each system's own.
#pragma once

#include <string>
#include <string_view>

namespace halvex::platform::replace {

// The temporary files are ".hx.tmp.XXXXXX" beside the file: hidden, and
// found again by their name. A write takes milliseconds, so one that has not
// been touched for a minute was left by a write that was killed.
inline constexpr std::size_t kRandomPartLength = 6;
inline constexpr long long kStaleSeconds = 60;

std::string TemporaryPrefix(const std::string& path);
// Whether a folder entry named `name` is a temporary file of `path`.
bool IsTemporaryOf(std::string_view name, const std::string& path);
inline bool IsStale(long long ageSeconds) { return ageSeconds >= kStaleSeconds; }

// Added to the system's reason when a read-only file is not replaced.
inline constexpr std::string_view kReadOnlyNote = " (the file is read-only)";

}  // namespace halvex::platform::replace

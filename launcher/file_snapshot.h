// Whether a calculator wrote the hand-off file during its run: the file's
// identity, size and modification time before and after.
#pragma once

#include <string>

namespace halvex::launcher {

struct FileSnapshot {
  bool exists = false;
  unsigned long long device = 0, inode = 0, size = 0;
  long long modifiedSeconds = 0, modifiedNanoseconds = 0;
  bool operator==(const FileSnapshot& other) const;
  bool operator!=(const FileSnapshot& other) const { return !(*this == other); }
};

// The identity, size and modification time of the file at `path`, to tell
// whether a calculator wrote it during its run.
FileSnapshot Snapshot(const std::string& path);

}  // namespace halvex::launcher

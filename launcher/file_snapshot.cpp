#include "launcher/file_snapshot.h"

#include <sys/stat.h>

namespace halvex::launcher {

bool FileSnapshot::operator==(const FileSnapshot& other) const {
  return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
         modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
}

FileSnapshot Snapshot(const std::string& path) {
  FileSnapshot snapshot;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return snapshot;
  snapshot.exists = true;
  snapshot.device = info.st_dev;
  snapshot.inode = info.st_ino;
  snapshot.size = static_cast<unsigned long long>(info.st_size);
  snapshot.modifiedSeconds = info.st_mtim.tv_sec;
  snapshot.modifiedNanoseconds = info.st_mtim.tv_nsec;
  return snapshot;
}

}  // namespace halvex::launcher

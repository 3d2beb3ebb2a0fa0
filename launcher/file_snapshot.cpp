#include "launcher/file_snapshot.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace halvex::launcher {

bool FileSnapshot::operator==(const FileSnapshot& other) const {
  return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
         modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
}

#ifdef _WIN32
FileSnapshot Snapshot(const std::string& path) {
  FileSnapshot snapshot;
  const HANDLE file = ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return snapshot;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = ::GetFileInformationByHandle(file, &info) != 0;
  ::CloseHandle(file);
  if (!known) return snapshot;
  snapshot.exists = true;
  snapshot.device = info.dwVolumeSerialNumber;
  snapshot.inode = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  snapshot.size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // FILETIME counts 100-nanosecond steps.
  const unsigned long long ticks =
      (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  snapshot.modifiedSeconds = static_cast<long long>(ticks / 10000000);
  snapshot.modifiedNanoseconds = static_cast<long long>(ticks % 10000000) * 100;
  return snapshot;
}
#else
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
#endif

}  // namespace halvex::launcher

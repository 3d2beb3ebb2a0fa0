// The hand-off file on Windows: the same atomic replace, fallbacks and
// bounded read as on POSIX systems, through the Win32 file functions.
#include <windows.h>

#include <string>

#include "handoff/handoff.h"
#include "handoff/replace.h"

namespace halvex::handoff {

namespace {

std::string Reason(const char* what, const std::string& path, DWORD error) {
  char text[256] = "";
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
  std::string reason(text, length);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
  if (reason.empty()) reason = "error " + std::to_string(error);
  return std::string(what) + " " + path + ": " + reason;
}

// Closes a file handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!valid()) return true;
    const bool closed = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
         written == bytes.size();
}

// Seconds since 1601 in a FILETIME's 100 ns steps.
long long Seconds(const FILETIME& time) {
  return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime) /
                                10000000ull);
}

void RemoveStaleTemporaryFiles(const std::string& path) {
  const std::string directory = replace::DirectoryOf(path);
  WIN32_FIND_DATAA entry;
  HANDLE search = ::FindFirstFileA(replace::JoinPath(directory, replace::TemporaryPrefix(path) + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  do {
    // Plain files only: not a folder, nor a link to something elsewhere.
    if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        !replace::IsTemporaryOf(entry.cFileName, path) ||
        !replace::IsStale(Seconds(now) - Seconds(entry.ftLastWriteTime))) {
      continue;
    }
    ::DeleteFileA(replace::JoinPath(directory, entry.cFileName).c_str());
  } while (::FindNextFileA(search, &entry));
  ::FindClose(search);
}

// A new, uniquely named temporary file beside `path`, created with the
// given attributes; `temp` gets its name. On failure the handle is invalid
// and GetLastError says why.
HANDLE CreateTemporary(const std::string& path, DWORD attributes, std::string& temp) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  unsigned long long state =
      static_cast<unsigned long long>(counter.QuadPart) ^ static_cast<unsigned long long>(::GetCurrentProcessId()) << 32;
  const std::string start = replace::JoinPath(replace::DirectoryOf(path), replace::TemporaryPrefix(path));
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = start;
    for (std::size_t i = 0; i < replace::kRandomPartLength; ++i) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      temp += kLetters[(state >> 33) % (sizeof kLetters - 1)];
    }
    HANDLE file = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Where the folder may not be written but the file may, the file is written
// in place: not atomic, but the values are kept.
bool WriteInPlace(const std::string& path, const std::string& bytes, std::string& error) {
  Handle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
  if (!file.valid()) {
    error = Reason("cannot write", path, ::GetLastError());
    return false;
  }
  bool written = ::GetFileType(file.get()) == FILE_TYPE_DISK;
  if (!written) ::SetLastError(ERROR_INVALID_FUNCTION);
  written = written && ::SetEndOfFile(file.get()) != 0 && WriteAll(file.get(), bytes) &&
            ::FlushFileBuffers(file.get()) != 0;
  const DWORD writeError = ::GetLastError();
  if (!file.Close() || !written) {
    error = Reason("cannot write", path, written ? ::GetLastError() : writeError);
    return false;
  }
  return true;
}

}  // namespace

bool WriteFile(const std::string& path, const Values& values, std::string& error) {
  const DWORD existing = ::GetFileAttributesA(path.c_str());
  const bool exists = existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) == 0;
  // A read-only file is one the user protects: reported, not replaced.
  if (exists && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
    error = Reason("cannot write", path, ERROR_ACCESS_DENIED) + std::string(replace::kReadOnlyNote);
    return false;
  }

  RemoveStaleTemporaryFiles(path);
  // The new file takes the attributes of the one it replaces (hidden,
  // archive, not indexed), so that the replace changes only the bytes.
  constexpr DWORD kKept = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = exists && (existing & kKept) != 0 ? existing & kKept : FILE_ATTRIBUTE_NORMAL;
  std::string temp;
  Handle file(CreateTemporary(path, attributes, temp));
  if (!file.valid()) {
    const DWORD createError = ::GetLastError();
    if (exists && createError == ERROR_ACCESS_DENIED) return WriteInPlace(path, FileBytes(values), error);
    error = Reason("cannot create a temporary file beside", path, createError);
    return false;
  }
  const bool written = WriteAll(file.get(), FileBytes(values)) && ::FlushFileBuffers(file.get()) != 0;
  const DWORD writeError = ::GetLastError();
  if (!file.Close() || !written) {
    error = Reason("cannot write", path, written ? ::GetLastError() : writeError);
    ::DeleteFileA(temp.c_str());
    return false;
  }
  if (::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    error = Reason("cannot replace", path, ::GetLastError());
    ::DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

bool ReadFile(const std::string& path, Values& values) {
  values = Values{};
  Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  // Files on disk only: a pipe or device in the file's place could block.
  if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) return false;
  std::string bytes(kMaxFileBytes, '\0');
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    DWORD got = 0;
    if (::ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled), &got, nullptr) == 0 ||
        got == 0) {
      break;
    }
    filled += got;
  }
  bytes.resize(filled);
  values = ParseFileBytes(bytes);
  return true;
}

}  // namespace halvex::handoff

// The hand-off file on Windows: the same atomic replace and bounded read as
// on POSIX systems, through the Win32 file functions.
#include <windows.h>

#include <string>

#include "handoff/handoff.h"

namespace halvex::handoff {

namespace {

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash + 1);
}

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

}  // namespace

bool WriteFile(const std::string& path, const Values& values, std::string& error) {
  // A uniquely named temporary file beside the target, so that the rename
  // stays on one volume and replaces the target in one step.
  char temp[MAX_PATH] = "";
  if (::GetTempFileNameA(DirectoryOf(path).c_str(), "hx", 0, temp) == 0) {
    error = Reason("cannot create a temporary file beside", path, ::GetLastError());
    return false;
  }
  Handle file(::CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    error = Reason("cannot write", path, ::GetLastError());
    ::DeleteFileA(temp);
    return false;
  }
  const bool written = WriteAll(file.get(), FileBytes(values)) && ::FlushFileBuffers(file.get()) != 0;
  const DWORD writeError = ::GetLastError();
  if (!file.Close() || !written) {
    error = Reason("cannot write", path, written ? ::GetLastError() : writeError);
    ::DeleteFileA(temp);
    return false;
  }
  if (::MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    error = Reason("cannot replace", path, ::GetLastError());
    ::DeleteFileA(temp);
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

// The operating system on Windows, through the wide-character API: paths
// are UTF-8 inside the programs and UTF-16 at the system, so that no folder
// name is lost to the ANSI code page.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <map>

#include "platform/platform.h"
#include "platform/replace_rule.h"

namespace halvex::platform {

namespace {

std::wstring Wide(std::string_view text, UINT codePage = CP_UTF8) {
  if (text.empty()) return {};
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
  return text;
}

// The system's own words for an error, as UTF-8.
std::string Reason(const char* what, const std::string& path, DWORD error) {
  wchar_t text[256] = L"";
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text / sizeof text[0], nullptr);
  std::string reason = Utf8(std::wstring_view(text, length));
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
  if (reason.empty()) reason = "error " + std::to_string(error);
  return std::string(what) + " " + path + ": " + reason;
}

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return EEXIST;
    case ERROR_BAD_EXE_FORMAT:
      return ENOEXEC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    default:
      return EINVAL;
  }
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

DWORD AttributesOf(const std::string& path) { return ::GetFileAttributesW(Wide(path).c_str()); }

bool WriteAll(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
         written == bytes.size();
}

bool SetLength(HANDLE file, long long length) {
  LARGE_INTEGER position;
  position.QuadPart = length;
  return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0 && ::SetEndOfFile(file) != 0;
}

// Seconds since 1601 in a FILETIME's 100 ns steps.
long long Seconds(const FILETIME& time) {
  return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime) /
                                10000000ull);
}

void RemoveStaleTemporaryFiles(const std::string& path) {
  const std::string directory = DirectoryOf(path);
  WIN32_FIND_DATAW entry;
  HANDLE search =
      ::FindFirstFileW(Wide(JoinPath(directory, replace::TemporaryPrefix(path) + "*")).c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  do {
    const std::string name = Utf8(entry.cFileName);
    // Plain files only: not a folder, nor a link to something elsewhere.
    if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        !replace::IsTemporaryOf(name, path) || !replace::IsStale(Seconds(now) - Seconds(entry.ftLastWriteTime))) {
      continue;
    }
    ::DeleteFileW(Wide(JoinPath(directory, name)).c_str());
  } while (::FindNextFileW(search, &entry));
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
  const std::string start = JoinPath(DirectoryOf(path), replace::TemporaryPrefix(path));
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = start;
    for (std::size_t i = 0; i < replace::kRandomPartLength; ++i) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      temp += kLetters[(state >> 33) % (sizeof kLetters - 1)];
    }
    HANDLE file = ::CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// The file itself is overwritten where it cannot be replaced: not atomic,
// but the values are kept. The new length is reserved before a byte is
// overwritten, so that a full disk leaves the old content whole, and the
// file is shortened only once the new content is in.
bool WriteInPlace(const std::string& path, std::string_view bytes, std::string& error) {
  Handle file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    error = Reason("cannot write", path, ::GetLastError());
    return false;
  }
  LARGE_INTEGER size{};
  if (::GetFileType(file.get()) != FILE_TYPE_DISK || ::GetFileSizeEx(file.get(), &size) == 0) {
    error = Reason("cannot write", path, ERROR_INVALID_FUNCTION);
    return false;
  }
  const auto length = static_cast<long long>(bytes.size());
  if (length > size.QuadPart && !SetLength(file.get(), length)) {
    const DWORD reserveError = ::GetLastError();
    SetLength(file.get(), size.QuadPart);
    error = Reason("cannot write", path, reserveError);
    return false;
  }
  LARGE_INTEGER start{};
  bool written = ::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) != 0 && WriteAll(file.get(), bytes);
  if (written && length < size.QuadPart) written = SetLength(file.get(), length);
  written = written && ::FlushFileBuffers(file.get()) != 0;
  const DWORD writeError = ::GetLastError();
  if (!file.Close() || !written) {
    error = Reason("cannot write", path, written ? ::GetLastError() : writeError);
    return false;
  }
  return true;
}

// The running children by process id: the id is what the launcher holds,
// the handle what the end is waited for on.
std::map<ProcessId, HANDLE> children;

}  // namespace

std::string CurrentDirectory() {
  const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return {};
  std::wstring directory(length, L'\0');
  const DWORD got = ::GetCurrentDirectoryW(length, directory.data());
  if (got == 0 || got >= length) return {};
  directory.resize(got);
  return Utf8(directory);
}

namespace {

// With FILE_FLAG_OPEN_REPARSE_POINT the handle is of a link itself, not of
// what it points to.
FileStatus StatusWith(const std::string& path, DWORD flags) {
  FileStatus status;
  const HANDLE file = ::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) return status;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = ::GetFileInformationByHandle(file, &info) != 0;
  const DWORD type = ::GetFileType(file);
  ::CloseHandle(file);
  if (!known) return status;
  status.exists = true;
  status.link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && flags != 0;
  status.directory = !status.link && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.regular = !status.link && !status.directory && type == FILE_TYPE_DISK;
  status.device = info.dwVolumeSerialNumber;
  status.inode = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  status.size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // FILETIME counts 100-nanosecond steps.
  const unsigned long long ticks =
      (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  status.modifiedSeconds = static_cast<long long>(ticks / 10000000);
  status.modifiedNanoseconds = static_cast<long long>(ticks % 10000000) * 100;
  return status;
}

}  // namespace

FileStatus StatusOf(const std::string& path) { return StatusWith(path, 0); }

FileStatus LinkStatusOf(const std::string& path) { return StatusWith(path, FILE_FLAG_OPEN_REPARSE_POINT); }

int MakeDirectories(const std::string& path) {
  if (IsDirectory(path)) return 0;
  const auto make = [](const std::string& folder) {
    if (::CreateDirectoryW(Wide(folder).c_str(), nullptr) != 0) return 0;
    const int error = ErrnoOf(::GetLastError());
    if (error != EEXIST) return error;
    return IsDirectory(folder) ? 0 : ENOTDIR;
  };
  int error = make(path);
  if (error != ENOENT) return error;
  // A folder above is missing: make it first, then try again.
  const std::size_t last = path.find_last_not_of(PathSeparators());
  const std::size_t separator =
      last == std::string::npos ? std::string::npos : path.find_last_of(PathSeparators(), last);
  if (separator == std::string::npos) return ENOENT;
  error = MakeDirectories(path.substr(0, separator + 1));
  if (error != 0) return error;
  return make(path);
}

int Runnable(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? 0 : ENOENT;
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes, std::string& error) {
  const DWORD existing = AttributesOf(path);
  const bool exists = existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) == 0;
  // A read-only file is one the user protects: reported, not replaced.
  if (exists && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
    error = Reason("cannot write", path, ERROR_ACCESS_DENIED) + std::string(replace::kReadOnlyNote);
    return false;
  }

  RemoveStaleTemporaryFiles(path);
  // The new file takes the attributes of the one it replaces (hidden,
  // archive, not indexed), so that the replace changes only the bytes.
  constexpr DWORD kKept =
      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = exists && (existing & kKept) != 0 ? existing & kKept : FILE_ATTRIBUTE_NORMAL;
  std::string temp;
  Handle file(CreateTemporary(path, attributes, temp));
  if (!file.valid()) {
    const DWORD createError = ::GetLastError();
    // A folder that takes no new files, or a name with no room for the
    // temporary one: an existing file can still take the values.
    if (exists) return WriteInPlace(path, bytes, error);
    error = Reason("cannot create a temporary file beside", path, createError);
    return false;
  }
  const bool written = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get()) != 0;
  DWORD failure = written ? ERROR_SUCCESS : ::GetLastError();
  if (!file.Close() && failure == ERROR_SUCCESS) failure = ::GetLastError();
  const char* what = "cannot write";
  if (failure == ERROR_SUCCESS) {
    if (::MoveFileExW(Wide(temp).c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
        0) {
      return true;
    }
    failure = ::GetLastError();
    what = "cannot replace";
  }
  ::DeleteFileW(Wide(temp).c_str());
  // A full disk, or a file held open by a program that does not share its
  // deletion: the file's own blocks may still take the values.
  if (exists) return WriteInPlace(path, bytes, error);
  error = Reason(what, path, failure);
  return false;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return ::_wfopen(Wide(path).c_str(), Wide(mode).c_str());
}

InputFile::~InputFile() {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool InputFile::Open(const std::string& path, bool followLinks) {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool link = !followLinks && (::GetFileInformationByHandle(file, &info) == 0 ||
                                     (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0);
  // Files on disk only: a pipe or device in the file's place could block.
  if (link || ::GetFileType(file) != FILE_TYPE_DISK) {
    ::CloseHandle(file);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  if (handle_ == -1) return 0;
  DWORD got = 0;
  if (::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, static_cast<DWORD>(size), &got, nullptr) == 0) return 0;
  return got;
}

ProcessId StartProgram(const std::string& path, std::string_view command, const std::string& argument, int& error) {
  // The command line's bytes are the ANSI text the started program reads
  // back with GetCommandLineA, exactly as CreateProcessA would pass them.
  std::string commandLine(command);
  commandLine += ' ';
  commandLine += argument;
  std::wstring wideLine = Wide(commandLine, CP_ACP);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(Wide(path).c_str(), wideLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    error = ErrnoOf(::GetLastError());
    return kNoProcess;
  }
  ::CloseHandle(process.hThread);
  const ProcessId id = process.dwProcessId;
  children[id] = process.hProcess;
  error = 0;
  return id;
}

bool HasEnded(ProcessId child) {
  const auto found = children.find(child);
  if (found == children.end()) return true;
  if (::WaitForSingleObject(found->second, 0) == WAIT_TIMEOUT) return false;
  ::CloseHandle(found->second);
  children.erase(found);
  return true;
}

void* EndSignal(ProcessId child) {
  const auto found = children.find(child);
  return found == children.end() ? nullptr : found->second;
}

std::string OwnDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  const std::string whole = Utf8(path);
  const std::size_t last = whole.find_last_of("\\/");
  return last == std::string::npos ? std::string() : whole.substr(0, last);
}

std::string ProgramSearchPath() {
  const DWORD length = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  const DWORD got = ::GetEnvironmentVariableW(L"PATH", path.data(), length);
  if (got == 0 || got >= length) return {};
  path.resize(got);
  return Utf8(path);
}

std::string CommandLine(int, char**) { return ::GetCommandLineA(); }

std::vector<std::string> Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace halvex::platform

// A stand-in calculator for the launcher's tests. It records how it was
// started and then behaves as its environment says:
//   HALVEX_STAND_IN_LOG         append "name <argv[0]>", "cwd <dir>", one
//                               "arg <text>" per argument and "end" to this file
//   HALVEX_STAND_IN_GO          then wait until this file exists (the test's cue)
//   HALVEX_STAND_IN_WRITE       then write these bytes to hx.tmp in the current
//                               directory, in place (unset: write nothing)
//   HALVEX_STAND_IN_WRITE_FROM  or write the bytes of this file there
//   HALVEX_STAND_IN_REPLACE     or put a "fifo" or a "folder" in hx.tmp's place
//   HALVEX_STAND_IN_CRASH       then end killed by a signal instead of exiting
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr const char* kFile = "hx.tmp";

void Record(const char* logPath, int argc, char** argv) {
  std::FILE* log = std::fopen(logPath, "a");
  if (log == nullptr) return;
  char cwd[4096] = "";
  if (::getcwd(cwd, sizeof cwd) == nullptr) cwd[0] = '\0';
  std::fprintf(log, "name %s\ncwd %s\n", argv[0], cwd);
  for (int i = 1; i < argc; ++i) std::fprintf(log, "arg %s\n", argv[i]);
  std::fprintf(log, "end\n");
  std::fclose(log);
}

void WaitForCue(const char* path) {
  // Bounded, so that a test that never gives the cue cannot leave it behind.
  for (int i = 0; i < 6000 && ::access(path, F_OK) != 0; ++i) ::usleep(10000);
}

void Write(const std::string& bytes) {
  std::ofstream(kFile, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* log = std::getenv("HALVEX_STAND_IN_LOG")) Record(log, argc, argv);
  if (const char* cue = std::getenv("HALVEX_STAND_IN_GO")) WaitForCue(cue);
  if (const char* bytes = std::getenv("HALVEX_STAND_IN_WRITE")) Write(bytes);
  if (const char* source = std::getenv("HALVEX_STAND_IN_WRITE_FROM")) {
    std::ifstream in(source, std::ios::binary);
    Write(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  if (const char* kind = std::getenv("HALVEX_STAND_IN_REPLACE")) {
    ::unlink(kFile);
    if (std::string(kind) == "fifo") ::mkfifo(kFile, 0644);
    if (std::string(kind) == "folder") ::mkdir(kFile, 0755);
  }
  if (std::getenv("HALVEX_STAND_IN_CRASH") != nullptr) ::kill(::getpid(), SIGKILL);
  return 0;
}

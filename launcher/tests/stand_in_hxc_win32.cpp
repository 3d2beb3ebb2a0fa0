// A stand-in calculator for the launcher's tests on Windows. It records how
// it was started and then behaves as its environment says:
//   HALVEX_STAND_IN_LOG    append its command line, as the system hands it
//                          over, and "end" to this file
//   HALVEX_STAND_IN_GO     then wait until this file exists (the test's cue)
//   HALVEX_STAND_IN_WRITE  then write these bytes to hx.tmp in the current
//                          directory (unset: write nothing)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main() {
  if (const char* log = std::getenv("HALVEX_STAND_IN_LOG")) {
    if (std::FILE* out = std::fopen(log, "ab")) {
      std::fprintf(out, "%s\nend\n", ::GetCommandLineA());
      std::fclose(out);
    }
  }
  if (const char* cue = std::getenv("HALVEX_STAND_IN_GO")) {
    // Bounded, so that a test that never gives the cue cannot leave it behind.
    for (int i = 0; i < 6000 && ::GetFileAttributesA(cue) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(10);
  }
  if (const char* bytes = std::getenv("HALVEX_STAND_IN_WRITE")) {
    std::FILE* out = std::fopen("hx.tmp", "wb");
    if (out == nullptr) return 2;
    std::fwrite(bytes, 1, std::strlen(bytes), out);
    std::fclose(out);
  }
  return 0;
}

// Stands in for HXP.exe in the end-to-end test: appends the command line it
// was started with, exactly as the system hands it over, to the file named by
// HALVEX_STAND_IN_LOG, and ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main() {
  const char* log = std::getenv("HALVEX_STAND_IN_LOG");
  if (log == nullptr) return 2;
  FILE* out = std::fopen(log, "ab");
  if (out == nullptr) return 2;
  std::fprintf(out, "%s\n", ::GetCommandLineA());
  return std::fclose(out) == 0 ? 0 : 2;
}

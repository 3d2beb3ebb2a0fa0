#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "hxplan/run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
#ifdef _WIN32
  // The same bytes as everywhere else: no carriage returns added.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  std::string out, err;
  const int status = halvex::plan::Run(arguments, out, err);
  // A plan that did not reach its reader (a full disk, a closed pipe) must
  // not end as a success.
  const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0;
  const int writeError = errno;
  std::fputs(err.c_str(), stderr);
  if (!written) {
    std::fprintf(stderr, "hxplan: cannot write the plan: %s\n", std::strerror(writeError));
    return 1;
  }
  return status;
}

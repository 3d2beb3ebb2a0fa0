#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hxplan/run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  // Paths on the command line as the system's file calls take them.
  const std::vector<std::string> arguments = halvex::platform::Arguments(argc, argv);
  // The same bytes as everywhere else: no carriage returns added.
  halvex::platform::UseBinaryStandardStreams();
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

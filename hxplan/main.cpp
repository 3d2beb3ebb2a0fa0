#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hxplan/run.h"
#include "platform/platform.h"

namespace {

// Standard output as the plan is made; the first failed write is kept, so
// that a plan that did not reach its reader (a full disk, a closed pipe)
// does not end as a success.
class StandardOutput : public halvex::plan::TextSink {
 public:
  void Write(std::string_view text) override {
    if (error_ == 0 && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) error_ = errno;
  }
  int Finish() {
    if (error_ == 0 && std::fflush(stdout) != 0) error_ = errno;
    return error_;
  }

 private:
  int error_ = 0;
};

class StandardError : public halvex::plan::TextSink {
 public:
  void Write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stderr); }
};

}  // namespace

int main(int argc, char** argv) {
  // Paths on the command line as the system's file calls take them.
  const std::vector<std::string> arguments = halvex::platform::Arguments(argc, argv);
  // The same bytes as everywhere else: no carriage returns added.
  halvex::platform::UseBinaryStandardStreams();
  StandardOutput out;
  StandardError err;
  const int status = halvex::plan::Run(arguments, out, err);
  if (const int writeError = out.Finish()) {
    std::fprintf(stderr, "hxplan: cannot write the plan: %s\n", std::strerror(writeError));
    return 1;
  }
  return status;
}

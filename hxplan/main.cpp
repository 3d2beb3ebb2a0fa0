#include <cstdio>
#include <string>
#include <vector>

#include "hxplan/plan.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string out, err;
  const int status = halvex::plan::Run(arguments, out, err);
  std::fputs(out.c_str(), stdout);
  std::fputs(err.c_str(), stderr);
  return status;
}

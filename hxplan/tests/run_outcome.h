// Runs hxplan in-process with given arguments and keeps what it printed.
#pragma once

#include <string>
#include <vector>

#include "hxplan/run.h"

namespace halvex::plan {

struct Outcome {
  int status;
  std::string out, err;
};

inline Outcome RunWith(std::vector<std::string> arguments) {
  Outcome outcome;
  outcome.status = Run(arguments, outcome.out, outcome.err);
  return outcome;
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace halvex::plan

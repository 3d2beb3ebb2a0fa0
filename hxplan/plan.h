// hxplan: the calculator's plan on the command line, for scripts and for
// machines without a display.
#pragma once

#include <string>
#include <vector>

#include "calc/layout.h"
#include "handoff/handoff.h"

namespace halvex::plan {

struct Options {
  handoff::Values values = handoff::kDefaultValues;  // ceiling, ear level, length, width, SPL
  int deviation = 3;
  int modelIndex = 0;
  bool json = false;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. On bad use returns false with
// a one-line message in `error`.
bool ParseArguments(const std::vector<std::string>& arguments, Options& options, std::string& error);

// The room inputs the calculator would store for these options: the absolute
// value of each number, as typed fields are read.
RoomInputs InputsFor(const Options& options);

// Plain-text and JSON plans of a computed layout.
std::string PlainPlan(const RoomInputs& inputs, const LayoutResult& result);
std::string JsonPlan(const RoomInputs& inputs, const LayoutResult& result);

std::string Usage();

// The whole program: writes to `out` and `err`, returns the exit status
// (0 done, 2 bad use or a room that cannot be computed).
int Run(const std::vector<std::string>& arguments, std::string& out, std::string& err);

}  // namespace halvex::plan

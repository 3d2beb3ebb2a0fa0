// hxplan: the calculator's plan on the command line, for scripts and for
// machines without a display.
#pragma once

#include <optional>
#include <string>
#include <string_view>
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
  // Whole-building planning (project.h).
  std::string projectFile;  // --project: rooms from a CSV file
  int lineVolts = 70;       // --line: 70 (70.7 V) or 100
  bool metric = false;      // --metric: metres in, metres out
  bool coverage = false;    // --coverage: SPL over the floor plan
  bool csvPositions = false;
  std::string svgDir;       // --svg: one drawing per room
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

// Why a room's inputs cannot be planned (the calculation refused them).
std::string WhyNotPlanned(const RoomInputs& inputs);

std::string Usage();

// Helpers shared with the project planner.
std::string Bare(long double value);  // FormatNumber at 7 digits, no sign blank
bool ParseDeviation(const std::string& text, int& deviation);
bool ParseModel(const std::string& text, int& modelIndex);
// Takes the value of an option given as "--name value" or "--name=value".
bool OptionValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
                 std::string& value, bool& matched, std::string& error);
std::string Quote(const std::string& text);  // a JSON string
std::string QuoteOrNull(const std::optional<std::string>& text);
std::string TrimmedName(std::string_view name);

// The whole program: writes to `out` and `err`, returns the exit status
// (0 done, 2 bad use or a room that cannot be computed).
int Run(const std::vector<std::string>& arguments, std::string& out, std::string& err);

}  // namespace halvex::plan

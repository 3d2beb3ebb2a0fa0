// hxplan's command line: the options, how their values are read, and the help.
#pragma once

#include <string>
#include <vector>

#include "handoff/handoff.h"

namespace halvex::plan {

// What every plan takes from the command line, one room's as a project's.
struct Options {
  handoff::Values values = handoff::kDefaultValues;  // ceiling, ear level, length, width, SPL
  int deviation = 3;
  int modelIndex = 0;
  bool json = false;
};

// What only whole-building planning takes. Given without a project file,
// they plan the room of the command line as a project of one room.
struct ProjectOptions {
  std::string file;       // --project: rooms from a CSV file
  int lineVolts = 70;     // --line: 70 (70.7 V) or 100
  bool metric = false;    // --metric: metres in, metres out
  bool coverage = false;  // --coverage: SPL over the floor plan
  bool csvPositions = false;
  std::string svgDir;  // --svg: one drawing per room
  bool Used() const;
};

struct CommandLine {
  Options options;
  ProjectOptions project;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. On bad use returns false with
// a one-line message in `error`.
bool ParseArguments(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

// Values read the same on the command line and in a project's cells.
bool ParseDeviation(const std::string& text, int& deviation);  // "0" to "6"
bool ParseModel(const std::string& text, int& modelIndex);     // a name in any case, or a row

std::string Usage();

}  // namespace halvex::plan

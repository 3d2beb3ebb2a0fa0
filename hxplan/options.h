// hxplan's command line: the options, how their values are read, and the help.
#pragma once

#include <string>
#include <vector>

#include "cone/layout.h"
#include "handoff/handoff.h"

namespace halvex::plan {

class Library;

// What every plan takes from the command line, one room's as a project's.
struct Options {
  handoff::Values values = handoff::kDefaultValues;  // ceiling, ear level, length, width, SPL
  int deviation = 3;
  int modelIndex = 0;  // in the catalogue of the plan's kind
  bool json = false;
  // Cone plans: laid out by the coverage angle of a cone model.
  bool cone = false;
  cone::Pattern pattern = cone::Pattern::kMinimumOverlap;
  cone::Grid grid = cone::Grid::kSquare;
  int headroom = 0;  // dB
  const Library* library = nullptr;  // --library: the user's models beside the built-in ones
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
  bool ignoreUnknownColumns = false;
  bool latin1 = false;  // --encoding latin1: the file is Latin-1, not UTF-8
  bool strict = false;  // --strict: a room whose coverage fails fails the run
  std::string report;   // --report: a printable HTML report of the project
  bool Used() const;
};

struct CommandLine {
  Options options;
  ProjectOptions project;
  bool help = false;
  bool version = false;
  std::string library;     // --library: the file of the user's models
  std::string model;       // --model as given, read once the library is there
  std::string coneOption;  // the last option only cone plans take
};

// Parses the arguments after the program name. On bad use returns false with
// a one-line message in `error`.
bool ParseArguments(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

// Reads --model into the options (a cone model makes the plan a cone plan),
// with the library's models when options.library is set. ParseArguments
// calls it unless --library is given; then the caller does, once the
// library is read.
bool ResolveModel(CommandLine& line, std::string& error);

// Values read the same on the command line and in a project's cells. A
// library's models are found after the built-in ones.
bool ParseDeviation(const std::string& text, int& deviation);  // "0" to "6"
bool ParseModel(const std::string& text, int& modelIndex,
                const Library* library = nullptr);  // a name in any case, or a row
bool ParseConeModel(const std::string& text, int& modelIndex,
                    const Library* library = nullptr);  // a cone name in any case, or a row
// Whether the text names a cone model, built-in or the library's.
bool IsConeModel(const std::string& text, const Library* library);
bool ParsePattern(const std::string& text, cone::Pattern& pattern);  // edge, min, centre
bool ParseGrid(const std::string& text, cone::Grid& grid);           // square, hex
bool ParseHeadroom(const std::string& text, int& headroom);          // 0, 3, 6, 10
// Why a value is not one of the choices, naming both:
//   "unknown pattern 'wide' (choices: edge, min, centre)"
std::string UnknownModel(const std::string& text, bool cone);
std::string UnknownPattern(const std::string& text);
std::string UnknownGrid(const std::string& text);
std::string UnknownHeadroom(const std::string& text);
// The words of a pattern and a grid in plans: "minimum overlap", "hexagonal".
const char* PatternName(cone::Pattern pattern);
const char* GridName(cone::Grid grid);

std::string Usage();

}  // namespace halvex::plan

#include "hxplan/options.h"

#include "calc/catalogue.h"
#include "cone/catalogue.h"
#include "hxplan/library.h"
#include "hxplan/project_reader.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

constexpr const char* kValueNames = "ceiling height, ear level, room length, room width, SPL";

// Takes the value of an option given as "--name value" or "--name=value".
bool OptionValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name, std::string& value,
                 bool& matched, std::string& error) {
  const std::string& argument = arguments[i];
  if (argument == name) {
    matched = true;
    if (i + 1 >= arguments.size()) {
      error = name + " needs a value";
      return false;
    }
    value = arguments[++i];
    return true;
  }
  if (argument.compare(0, name.size() + 1, name + "=") == 0) {
    matched = true;
    value = argument.substr(name.size() + 1);
    return true;
  }
  matched = false;
  return true;
}

bool ParseProjectOption(const std::vector<std::string>& arguments, std::size_t& i, ProjectOptions& options,
                        bool& matched, std::string& error) {
  const std::string& argument = arguments[i];
  matched = true;
  if (argument == "--metric") {
    options.metric = true;
    return true;
  }
  if (argument == "--coverage") {
    options.coverage = true;
    return true;
  }
  if (argument == "--csv-positions") {
    options.csvPositions = true;
    return true;
  }
  if (argument == "--ignore-unknown-columns") {
    options.ignoreUnknownColumns = true;
    return true;
  }
  if (argument == "--strict") {
    options.strict = true;
    return true;
  }
  std::string value;
  if (!OptionValue(arguments, i, "--encoding", value, matched, error)) return false;
  if (matched) {
    if (value != "utf-8" && value != "latin1") {
      error = "encoding must be utf-8 or latin1, not '" + Printable(value) + "'";
      return false;
    }
    options.latin1 = value == "latin1";
    return true;
  }
  if (!OptionValue(arguments, i, "--project", value, matched, error)) return false;
  if (matched) {
    options.file = value;
    return true;
  }
  if (!OptionValue(arguments, i, "--report", value, matched, error)) return false;
  if (matched) {
    if (value.empty()) {
      error = "--report needs a file";
      return false;
    }
    options.report = value;
    return true;
  }
  if (!OptionValue(arguments, i, "--svg", value, matched, error)) return false;
  if (matched) {
    if (value.empty()) {
      error = "--svg needs a directory";
      return false;
    }
    options.svgDir = value;
    return true;
  }
  if (!OptionValue(arguments, i, "--line", value, matched, error)) return false;
  if (matched) {
    if (value != "70" && value != "100") {
      error = "line must be 70 or 100 (volts), not '" + Printable(value) + "'";
      return false;
    }
    options.lineVolts = value == "70" ? 70 : 100;
    return true;
  }
  return true;
}

std::string ProjectUsage() {
  return "\n"
         "Whole-building projects:\n"
         "  --project FILE CSV file of rooms (RFC 4180, UTF-8), one per row after a\n"
         "                 header row naming the columns room, length, width,\n"
         "                 ear_level, ceiling, spl and optionally deviation (0 to 6),\n"
         "                 model (name or row), zone (default: the room), kind\n"
         "                 (planar or cone; default the kind of the named model),\n"
         "                 pattern, grid and headroom; empty cells take the command\n"
         "                 line's. Numbers are read as typed fields, sign dropped.\n"
         "                 Prints one line per room, the loudspeakers per model and\n"
         "                 per zone the sum of the taps, the amplifier power (sum of\n"
         "                 taps / 0.8) and the line's load impedance (V squared / sum\n"
         "                 of taps). A row that cannot be planned is reported with\n"
         "                 its line number; the rest are planned. Rows are planned\n"
         "                 one at a time, in constant memory; FILE may be a pipe.\n"
         "                 With --json all of it as one JSON document, and a file\n"
         "                 that is no project as {\"error\": ...}. A row is refused\n"
         "                 when a value is beyond a single-precision number, the\n"
         "                 length or width is not above 0, a length or height is over\n"
         "                 10000 ft (3048 m) or the room needs more than 100000\n"
         "                 loudspeakers.\n"
         "  --ignore-unknown-columns\n"
         "                 let columns of no known name pass (else an error naming\n"
         "                 the nearest known column)\n"
         "  --encoding E   utf-8 (default) or latin1\n"
         "  --line V       70 (a 70.7 V line, default) or 100 (100 V): the same taps,\n"
         "                 the load impedance at that voltage\n"
         "  --metric       lengths and heights in metres, areas in m², in and out; the\n"
         "                 calculation runs in feet on the converted values\n"
         "                 (1 ft = 0.3048 m), so the figures are the calculator's\n"
         "  --svg DIR      write a plan of each room to DIR/ROOM.svg (DIR is created):\n"
         "                 the room to scale, every loudspeaker, dimension chains from\n"
         "                 the walls through the loudspeaker centres (to 0.01, adding\n"
         "                 up to the room), a title block with model, tap, power,\n"
         "                 count and deviation (no date, so the same project gives\n"
         "                 the same files). Names are unique without regard to case\n"
         "                 (Hall.svg, then Hall-2.svg) and safe on every system; the\n"
         "                 plan names each room's file. A file is replaced only when\n"
         "                 it is a plan of the same project, never through a link.\n"
         "  --coverage     check each room's coverage: the direct-sound SPL at ear level\n"
         "                 at the centres of equal cells of at most 0.5 ft (and at\n"
         "                 most half a spacing) over the whole floor, every\n"
         "                 loudspeaker a point source at the tap the installer sets\n"
         "                 (at most the model's highest): planar models without\n"
         "                 directivity, sensitivity + 10 log10(tap) + 20 log10(3 ft /\n"
         "                 r); cone models with cos^n, 6 dB down at half the coverage\n"
         "                 angle; added as energies, reflections and reverberation\n"
         "                 left out. Prints the lowest and highest level, their\n"
         "                 spread against the 2 x D dB that +-D allows and the share\n"
         "                 of the floor within the target +-D. The coverage fails\n"
         "                 when the spread is over 2 x D or no cell is within +-D.\n"
         "                 With --svg the map in 1 dB bands over the room's own\n"
         "                 range, the target band framed in the legend. A room\n"
         "                 without a fitting tap, or too large to check, says why.\n"
         "  --strict       a room whose coverage fails makes the exit status 1\n"
         "  --report FILE  also write a printable report as one self-contained HTML\n"
         "                 file: title block, bill of materials, zones with their\n"
         "                 line loss, and a page per room with its plan\n"
         "  --library FILE add the loudspeakers of a CSV library (kind, model,\n"
         "                 sensitivity, sensitivity_at, max_power, taps,\n"
         "                 coverage_angle) to the built-in models\n"
         "  Columns run (ft, or m with --metric) and cable (18AWG to 10AWG, 0.75mm2\n"
         "  to 4mm2) check each zone's line: its longest run on its thinnest cable,\n"
         "  the whole load at the far end; over 0.5 dB is flagged.\n"
         "  Column revision: the project's revision, given by any row (the same in\n"
         "  every row that gives one), shown in the report's title block.\n"
         "  --csv-positions\n"
         "                 print every loudspeaker's x (from the wall along the length)\n"
         "                 and y (from the wall along the width) of every room as CSV\n"
         "                 for CAD, instead of the plan (not with --json)\n"
         "  With these options and no --project the room of the command line is\n"
         "  planned as a project of one room named \"room\".\n"
         "  Exit status with them: 0 all planned, 1 a row not planned, a file not\n"
         "  written or (--strict) a coverage that fails, 2 bad use or a file that is\n"
         "  no project.\n";
}

}  // namespace

bool ProjectOptions::Used() const {
  return !file.empty() || metric || lineVolts != 70 || !svgDir.empty() || csvPositions || coverage ||
         ignoreUnknownColumns || latin1 || strict || !report.empty();
}

bool ParseDeviation(const std::string& text, int& deviation) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '6') return false;
  deviation = text[0] - '0';
  return true;
}

bool ParseModel(const std::string& text, int& modelIndex, const Library* library) {
  if (text.size() <= static_cast<std::size_t>(kNameLength)) {
    std::string padded = text;
    padded.resize(kNameLength, ' ');
    const int found = FindModelIndex(padded, -1);
    if (found >= 0) {
      modelIndex = found;
      return true;
    }
  }
  if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kModelCount) {
    modelIndex = text[0] - '0';
    return true;
  }
  const int found = library != nullptr ? library->FindPlanar(text) : -1;
  if (found >= 0) modelIndex = found;
  return found >= 0;
}

namespace {

std::string Lower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

bool ParseConeModel(const std::string& text, int& modelIndex, const Library* library) {
  const int found = cone::FindConeModel(text);
  if (found >= 0) {
    modelIndex = found;
    return true;
  }
  if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + cone::kConeModelCount) {
    modelIndex = text[0] - '0';
    return true;
  }
  const int inLibrary = library != nullptr ? library->FindCone(text) : -1;
  if (inLibrary >= 0) modelIndex = inLibrary;
  return inLibrary >= 0;
}

bool IsConeModel(const std::string& text, const Library* library) {
  return cone::FindConeModel(text) >= 0 || (library != nullptr && library->FindCone(text) >= 0);
}

bool ParsePattern(const std::string& text, cone::Pattern& pattern) {
  const std::string word = Lower(text);
  if (word == "edge" || word == "edge to edge") {
    pattern = cone::Pattern::kEdgeToEdge;
  } else if (word == "min" || word == "minimum overlap") {
    pattern = cone::Pattern::kMinimumOverlap;
  } else if (word == "centre" || word == "centre to centre") {
    pattern = cone::Pattern::kCentreToCentre;
  } else {
    return false;
  }
  return true;
}

bool ParseGrid(const std::string& text, cone::Grid& grid) {
  const std::string word = Lower(text);
  if (word == "square") {
    grid = cone::Grid::kSquare;
  } else if (word == "hex" || word == "hexagonal") {
    grid = cone::Grid::kHexagonal;
  } else {
    return false;
  }
  return true;
}

bool ParseHeadroom(const std::string& text, int& headroom) {
  for (const int choice : cone::kHeadrooms) {
    if (text == std::to_string(choice)) {
      headroom = choice;
      return true;
    }
  }
  return false;
}

std::string UnknownModel(const std::string& text, bool cone) {
  std::string planar;
  for (const LoudspeakerModel& model : kCatalogueRows) planar += TrimmedName(model.name) + ", ";
  if (cone) {
    return "unknown cone model '" + text + "' (choices: " + cone::ConeModelNames() +
           ", a row 0 to 7, or a model of the --library)";
  }
  return "unknown model '" + text + "' (choices: " + planar + "a row 0 to 6, the cone models " +
         cone::ConeModelNames() + ", or a model of the --library)";
}

std::string UnknownPattern(const std::string& text) {
  return "unknown pattern '" + text + "' (choices: edge, min, centre)";
}

std::string UnknownGrid(const std::string& text) { return "unknown grid '" + text + "' (choices: square, hex)"; }

std::string UnknownHeadroom(const std::string& text) {
  return "unknown headroom '" + text + "' (choices: 0, 3, 6, 10 dB)";
}

const char* PatternName(cone::Pattern pattern) {
  switch (pattern) {
    case cone::Pattern::kEdgeToEdge:
      return "edge to edge";
    case cone::Pattern::kMinimumOverlap:
      return "minimum overlap";
    case cone::Pattern::kCentreToCentre:
      return "centre to centre";
  }
  return "";
}

const char* GridName(cone::Grid grid) { return grid == cone::Grid::kSquare ? "square" : "hexagonal"; }

bool ResolveModel(CommandLine& line, std::string& error) {
  Options& options = line.options;
  const std::string& model = line.model;
  // A cone model names the kind of plan by itself, as it does in a project.
  if (!model.empty()) {
    const Library* library = options.library;
    const bool known = options.cone ? ParseConeModel(model, options.modelIndex, library)
                                    : ParseModel(model, options.modelIndex, library) ||
                                          (options.cone = IsConeModel(model, library) &&
                                                          ParseConeModel(model, options.modelIndex, library));
    if (!known) {
      error = UnknownModel(model, options.cone);
      return false;
    }
  }
  if (!line.coneOption.empty() && !options.cone && !line.project.Used()) {
    error = line.coneOption + " is for cone plans (add --cone or a cone --model)";
    return false;
  }
  return true;
}

bool ParseArguments(const std::vector<std::string>& arguments, CommandLine& line, std::string& error) {
  Options& options = line.options;
  std::string& model = line.model;  // read once the kind of plan is known
  std::string& coneOption = line.coneOption;
  std::vector<std::string> values;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      values.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--json") {
      options.json = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      line.help = true;
      continue;
    }
    if (argument == "--version") {
      line.version = true;
      continue;
    }
    std::string value;
    bool matched = false;
    if (!ParseProjectOption(arguments, i, line.project, matched, error)) return false;
    if (matched) continue;
    if (!OptionValue(arguments, i, "--deviation", value, matched, error)) return false;
    if (matched) {
      if (!ParseDeviation(value, options.deviation)) {
        error = "deviation must be a whole number from 0 to 6, not '" + value + "'";
        return false;
      }
      continue;
    }
    if (!OptionValue(arguments, i, "--library", value, matched, error)) return false;
    if (matched) {
      if (value.empty()) {
        error = "--library needs a file";
        return false;
      }
      line.library = value;
      continue;
    }
    if (!OptionValue(arguments, i, "--model", value, matched, error)) return false;
    if (matched) {
      model = value;
      continue;
    }
    if (argument == "--cone") {
      options.cone = true;
      continue;
    }
    if (!OptionValue(arguments, i, "--pattern", value, matched, error)) return false;
    if (matched) {
      if (!ParsePattern(value, options.pattern)) {
        error = UnknownPattern(value);
        return false;
      }
      coneOption = "--pattern";
      continue;
    }
    if (!OptionValue(arguments, i, "--grid", value, matched, error)) return false;
    if (matched) {
      if (!ParseGrid(value, options.grid)) {
        error = UnknownGrid(value);
        return false;
      }
      coneOption = "--grid";
      continue;
    }
    if (!OptionValue(arguments, i, "--headroom", value, matched, error)) return false;
    if (matched) {
      if (!ParseHeadroom(value, options.headroom)) {
        error = UnknownHeadroom(value);
        return false;
      }
      coneOption = "--headroom";
      continue;
    }
    error = "unknown option '" + argument + "' (put -- before a value that begins with a minus sign)";
    return false;
  }

  // Positions are CSV; a JSON document of them would be a second format.
  if (line.project.csvPositions && options.json) {
    error = "--csv-positions and --json do not go together: the positions are CSV";
    return false;
  }
  if (line.library.empty() && !ResolveModel(line, error)) return false;

  if (values.size() == 1) values = handoff::SplitArguments(values[0]);
  if (values.empty()) return true;  // the default room
  if (values.size() != handoff::kValueCount) {
    error = "expected 5 room values (" + std::string(kValueNames) + "), got " + std::to_string(values.size());
    return false;
  }
  for (int i = 0; i < handoff::kValueCount; ++i) options.values[i] = values[i];
  return true;
}

std::string Usage() {
  std::string out =
      "Usage: hxplan [options] [--] CEILING,EAR,LENGTH,WIDTH,SPL\n"
      "       hxplan [options] [--] CEILING EAR LENGTH WIDTH SPL\n"
      "\n"
      "Plans a square grid of ceiling loudspeakers for a rectangular room, as the\n"
      "Planar Speaker Layout calculator does. Heights and lengths in feet, SPL in dB\n"
      "at ear level. Without values the default room 9,5,20,15,90 is planned.\n"
      "A value is read as the calculator reads a typed field: its number, sign\n"
      "dropped; text that is not a number reads as 0.\n"
      "\n"
      "Options:\n"
      "  --deviation D  allowed SPL deviation, +-D dB, a whole number 0 to 6 (default 3)\n"
      "  --model M      loudspeaker model by name (any case) or by row 0 to 6 (default 0)\n"
      "  --json         print the texts the calculator window shows, as one JSON object\n"
      "  --help         show this help\n"
      "  --version      show the version\n"
      "  --             end of options (for values that begin with a minus sign)\n"
      "\n"
      "Cone plans (a cone --model implies --cone):\n"
      "  --cone         lay out by the coverage angle: coverage circles at ear level,\n"
      "                 power for the target plus headroom, 70.7 V tap, line load,\n"
      "                 amplifier (load / 0.8) and the direct-sound level over the\n"
      "                 floor with the model's directivity (cos^n, 6 dB down at half\n"
      "                 the angle), within the target +- --deviation\n"
      "  --pattern P    edge, min (minimum overlap, default) or centre\n"
      "  --grid G       square (default) or hex (every second row shifted)\n"
      "  --headroom H   0 (default), 3, 6 or 10 dB\n";
  out += ProjectUsage() + "\nModels:\n";
  for (int row = 0; row < kModelCount; ++row) {
    const LoudspeakerModel& model = kCatalogueRows[row];
    out += "  " + std::to_string(row) + "  " + std::string(model.name) + " sensitivity " + Bare(model.sensitivity) +
           " dB, max power " + Bare(model.maxPower) + " W, highest tap " + Bare(model.maxTap) + " W\n";
  }
  out += "\nCone models:\n";
  for (int row = 0; row < cone::kConeModelCount; ++row) {
    const cone::ConeModel& model = cone::kConeModels[static_cast<std::size_t>(row)];
    std::string taps;
    for (int tap = 0; tap < model.tapCount; ++tap) {
      taps += (tap == 0 ? "" : ", ") + Bare(model.taps[static_cast<std::size_t>(tap)]);
    }
    out += "  " + std::to_string(row) + "  " + std::string(model.name) + std::string(4 - model.name.size(), ' ') +
           std::string(model.driver) + ", " + Bare(model.coverageAngle) + " deg, " + Bare(model.sensitivity) +
           " dB (1 W, 1 m), taps " + taps + " W\n";
  }
  out +=
      "\nExit status: 0 planned, 1 the plan could not be written, 2 bad use or a room\n"
      "that cannot be planned (ear level not below the ceiling).\n";
  return out;
}

}  // namespace halvex::plan

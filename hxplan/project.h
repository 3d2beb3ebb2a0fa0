// Whole-building planning: every room of a job from one CSV file, planned on
// the calculator's own chain, with totals per model and the amplifier and line
// load of each zone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hxplan/plan.h"
#include "hxplan/room_plan.h"

namespace halvex::plan {

// One record of RFC 4180 CSV: fields split at commas, a field in double
// quotes may hold commas, line ends and "" for a quote. `line` is the line
// the record begins on; `error` says why a record could not be read.
//   a,"b ""c"",d"  ->  {"a", "b \"c\",d"}
struct CsvRecord {
  int line = 0;
  std::vector<std::string> fields;
  std::string error;
};

// Splits text into records one at a time; CR LF, LF and CR all end a
// record, a leading UTF-8 byte order mark is dropped. A quote left open
// takes the rest of the text and gives that record an error.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text);
  bool Next(CsvRecord& record);  // false at the end of the text

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  int line_ = 1;
};

// All records at once.
std::vector<CsvRecord> ParseCsv(std::string_view text);

// Whether a field holds a number as a typed field is read (blanks around it
// allowed): "12", "-3.5", ".5e1", "&HFF". Text that ParseNumber would read
// as 0 without being "0" is not a number here.
bool IsNumberText(std::string_view text);

struct RowError {
  int line = 0;
  std::string reason;
};

struct Project {
  std::vector<RoomPlan> rooms;
  std::vector<RowError> errors;  // rows that were not planned
};

// Reads a project: a header row naming the columns room, length, width,
// ear_level, ceiling and spl, optionally deviation, model and zone, in any
// order and case. Empty deviation and model cells take the command line's
// --deviation and --model. Returns false with a message when the text is not
// a project at all (empty, binary, no header); bad rows only add errors.
bool ReadProject(std::string_view text, const Options& options, Project& project, std::string& error);

struct ModelTotal {
  int modelIndex = 0;
  long double loudspeakers = 0;
};

struct ZoneTotal {
  std::string zone;
  int rooms = 0;
  long double loudspeakers = 0;
  long double withoutTap = 0;  // loudspeakers whose power no tap fits
  long double tapSum = 0;      // W
  long double amplifier = 0;   // W: the taps loaded to 80 %
  long double impedance = 0;   // ohms at the line voltage; infinite without load
};

struct ProjectTotals {
  std::vector<ModelTotal> models;  // catalogue order, used models only
  std::vector<ZoneTotal> zones;    // in order of first appearance
  long double loudspeakers = 0;
  long double tapSum = 0;
};

inline constexpr long double kAmplifierLoading = 0.8L;

// 70.7 V for a 70 V line, 100 V for a 100 V line.
long double LineVoltage(int lineVolts);

ProjectTotals ComputeTotals(const Project& project, int lineVolts);

std::string ProjectText(const Project& project, const ProjectTotals& totals, const Options& options);
std::string ProjectJson(const Project& project, const ProjectTotals& totals, const Options& options);

// The options of this planner, in the form ParseArguments takes them.
bool ParseProjectOption(const std::vector<std::string>& arguments, std::size_t& i, Options& options, bool& matched,
                        std::string& error);
bool UsesProjectOptions(const Options& options);
std::string ProjectUsage();  // the help text of these options

// Plans the --project file, or the one room of the command line when options
// of this planner are given without it. Exit status 0 all planned, 1 some
// rows not planned or a file not written, 2 bad use or no project to read.
int RunProject(const Options& options, std::string& out, std::string& err);

// Files larger than this are refused before they are read.
inline constexpr std::size_t kMaxProjectBytes = std::size_t{256} << 20;

}  // namespace halvex::plan

// Reading a project file: the header row names the columns, every later
// row is one room, read as the calculator reads typed fields. Rows are read
// one at a time, so a project of any size is never held whole.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "hxplan/csv.h"
#include "hxplan/options.h"
#include "hxplan/project.h"

namespace halvex::plan {

// Whether a field holds a number as a typed field is read (blanks around it
// allowed): "12", "-3.5", ".5e1", "&HFF". Text that ParseNumber would read
// as 0 without being "0" is not a number here.
bool IsNumberText(std::string_view text);

// The known column nearest to a name that is none, or empty when none is
// near (a letter or two apart, a swap counting as one):
//   "modle" -> "model", "devation" -> "deviation", "colour" -> ""
std::string NearestColumn(std::string_view name);

struct ReaderSettings {
  bool metric = false;                // lengths are metres
  bool ignoreUnknownColumns = false;  // else a column of no known name is an error
  bool latin1 = false;                // the text is Latin-1, not UTF-8
};

// Reads a project: a header row naming the columns room, length, width,
// ear_level, ceiling and spl, optionally deviation, model, zone, kind,
// pattern, grid, headroom, run, cable and revision, in any order and case.
// Empty deviation and model cells take the command line's --deviation and
// --model. The revision belongs to the whole project: any row may give it,
// and a row that gives another one is refused.
class ProjectReader {
 public:
  ProjectReader(CsvReader& csv, const Options& options, const ReaderSettings& settings);

  // False with a message when the text is not a project at all (empty,
  // binary, not UTF-8, no header, an unknown column).
  bool ReadHeader(std::string& error);

  enum class Row { kRoom, kError, kEnd };
  // The next room, planned, or why its row could not be.
  Row Next(RoomPlan& room, RowError& error);
  // The project's revision as the rows read so far give it, or empty.
  const std::string& Revision() const { return revision_; }

 private:
  bool ReadRoom(const CsvRecord& record, RoomPlan& room, std::string& reason) const;

  CsvReader& csv_;
  const Options& options_;
  ReaderSettings settings_;
  static constexpr std::size_t kColumns = 16;  // the known columns
  std::array<int, kColumns> columns_{};
  std::size_t headerSize_ = 0;
  CsvRecord record_;
  std::string revision_;
  int revisionLine_ = 0;
};

}  // namespace halvex::plan

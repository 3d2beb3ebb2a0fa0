// Reading CSV text record by record, as spreadsheets write it (RFC 4180).
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

}  // namespace halvex::plan

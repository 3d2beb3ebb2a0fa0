// Reading CSV text record by record, as spreadsheets write it (RFC 4180).
#pragma once

#include <functional>
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

// Where a reader's bytes come from: up to `size` bytes into `buffer`, 0 at
// the end of the text.
using CsvSource = std::function<std::size_t(char* buffer, std::size_t size)>;

// Splits text into records one at a time; CR LF, LF and CR all end a
// record, a leading UTF-8 byte order mark is dropped. A quote left open
// takes the rest of the text and gives that record an error. Blanks after a
// closing quote are passed over, as most CSV readers do:
//   "room" ,x  ->  {"room", "x"}
class CsvReader {
 public:
  explicit CsvReader(std::string_view text);
  // Text read piece by piece, so that a file of any size (or a pipe) is
  // never held whole.
  explicit CsvReader(CsvSource source);
  bool Next(CsvRecord& record);  // false at the end of the text

 private:
  bool Fill();  // the next piece into the window; false at the end
  int Peek();   // the next byte, or -1 at the end
  CsvSource source_;
  std::string buffer_;
  std::string_view window_;
  std::size_t at_ = 0;
  int line_ = 1;
};

// All records at once.
std::vector<CsvRecord> ParseCsv(std::string_view text);

}  // namespace halvex::plan

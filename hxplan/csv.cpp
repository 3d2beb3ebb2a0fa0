#include "hxplan/csv.h"

#include <utility>

namespace halvex::plan {

CsvReader::CsvReader(std::string_view text) : text_(text) {
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
}

bool CsvReader::Next(CsvRecord& record) {
  // Short names for the reader's place in the text.
  const std::string_view text = text_;
  std::size_t& i = at_;
  int& line = line_;
  if (i >= text.size()) return false;
  record = CsvRecord{};
  record.line = line;
  std::string field;
  bool recordEnded = false;
  while (!recordEnded) {
    field.clear();
    if (i < text.size() && text[i] == '"') {
      ++i;
      bool closed = false;
      while (i < text.size()) {
        const char c = text[i++];
        if (c == '"') {
          if (i < text.size() && text[i] == '"') {
            field += '"';
            ++i;
          } else {
            closed = true;
            break;
          }
        } else {
          if (c == '\n' || (c == '\r' && (i >= text.size() || text[i] != '\n'))) ++line;
          field += c;
        }
      }
      if (!closed && record.error.empty()) record.error = "a quoted field is not closed";
      // Anything between the closing quote and the next separator is text
      // out of place; it is reported, not silently joined to the field.
      const std::size_t stop = text.find_first_of(",\r\n", i);
      const std::size_t end = stop == std::string_view::npos ? text.size() : stop;
      if (end > i && record.error.empty()) record.error = "text after a closing quote";
      i = end;
    } else {
      const std::size_t stop = text.find_first_of(",\r\n", i);
      const std::size_t end = stop == std::string_view::npos ? text.size() : stop;
      field.assign(text.substr(i, end - i));
      i = end;
    }
    record.fields.push_back(field);
    if (i < text.size() && text[i] == ',') {
      ++i;
      continue;
    }
    recordEnded = true;
    if (i < text.size()) {  // a line end
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++i;
      ++line;
    }
  }
  return true;
}

std::vector<CsvRecord> ParseCsv(std::string_view text) {
  std::vector<CsvRecord> records;
  CsvReader reader(text);
  for (CsvRecord record; reader.Next(record);) records.push_back(std::move(record));
  return records;
}

}  // namespace halvex::plan

#include "hxplan/csv.h"

#include <gtest/gtest.h>

namespace halvex::plan {
namespace {

TEST(Csv, RecordsFieldsAndLines) {
  const struct {
    const char* text;
    std::vector<std::vector<std::string>> fields;
    std::vector<int> lines;
    const char* error;  // of the last record
  } rows[] = {
      {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}, {1, 2}, ""},
      {"\xEF\xBB\xBFroom,x\nlast,", {{"room", "x"}, {"last", ""}}, {1, 2}, ""},
      {"a,\"b \"\"c\"\",d\"\ne", {{"a", "b \"c\",d"}, {"e"}}, {1, 2}, ""},
      {"\"two\nlines\",x\r\nnext", {{"two\nlines", "x"}, {"next"}}, {1, 3}, ""},
      {"a\r\rb", {{"a"}, {""}, {"b"}}, {1, 2, 3}, ""},
      {"a,\"open\nstill", {{"a", "open\nstill"}}, {1}, "a quoted field is not closed"},
      {"\"q\"x,y", {{"q", "y"}}, {1}, "text after a closing quote"},
      {"\"room\" ,\"x\"\t\r\n", {{"room", "x"}}, {1}, ""},  // blanks after a closing quote are passed over
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::vector<CsvRecord> records = ParseCsv(row.text);
    ASSERT_EQ(records.size(), row.fields.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i].fields, row.fields[i]);
      EXPECT_EQ(records[i].line, row.lines[i]);
    }
    EXPECT_EQ(records.back().error, row.error);
  }
}

}  // namespace
}  // namespace halvex::plan

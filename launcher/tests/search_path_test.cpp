#include "launcher/search_path.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace halvex::launcher {
namespace {

TEST(SearchPath, EntriesInOrderWithoutEmptyOnes) {
  using Entries = std::vector<std::string_view>;
  const struct {
    const char* path;
    char separator;
    Entries entries;
  } rows[] = {
      {"/usr/bin:/bin", ':', {"/usr/bin", "/bin"}},
      {"::/usr/bin::/bin:", ':', {"/usr/bin", "/bin"}},
      {"C:\\Windows;C:\\Tools", ';', {"C:\\Windows", "C:\\Tools"}},
      {";C:\\A;;.;", ';', {"C:\\A", "."}},
      {"C:\\A;C:\\B", ':', {"C", "\\A;C", "\\B"}},  // only the given separator splits
      {"", ':', {}},
      {":", ':', {}},
      {"one", ';', {"one"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(SplitSearchPath(row.path, row.separator), row.entries);
  }
}

}  // namespace
}  // namespace halvex::launcher

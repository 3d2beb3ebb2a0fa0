#include "calc/catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace halvex {
namespace {

TEST(Catalogue, FindModelIndex) {
  struct Row {
    const char* text;
    int current;
    int expected;
  } rows[] = {
      {"MW3018K  ", 0, 4},  // the fifth list entry
      {"nv40     ", 3, 0},  // case does not matter
      {"Lx7r     ", 0, 6},
      {"NV40", 3, 3},       // the blanks belong to the name
      {"", 2, 2},           // nothing selected keeps the model
      {"NV40      ", 5, 5}, // one blank too many
      {" NV40    ", 5, 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("'") + row.text + "'");
    EXPECT_EQ(FindModelIndex(row.text, row.current), row.expected);
  }
}

TEST(Catalogue, ModelRowClampsStrayIndices) {
  EXPECT_EQ(ModelRow(-1).name, "NV40     ");
  EXPECT_EQ(ModelRow(7).name, "LX7R     ");
  EXPECT_EQ(ModelRow(4).maxPower, 75);
}

}  // namespace
}  // namespace halvex

#include "calc/catalogue.h"

#include <gtest/gtest.h>

#include "calc/layout.h"

namespace halvex {
namespace {

TEST(Catalogue, SetUpFillsTheSevenRowsInOrder) {
  SetUpCatalogue();
  const char* names[] = {"NV40     ", "NV50     ", "JR2A     ", "JR2B     ", "MW3018K  ", "MW3009P  ", "LX7R     "};
  for (int row = 0; row < kModelCount; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(catalogue[row].name, names[row]);
    EXPECT_EQ(catalogue[row].name.size(), 9u);
  }
  EXPECT_EQ(catalogue[4].sensitivity, 92);
  EXPECT_EQ(catalogue[4].maxPower, 75);
  EXPECT_EQ(catalogue[4].maxTap, 32);
  EXPECT_EQ(catalogue[6].maxPower, 60);
  EXPECT_EQ(catalogue[5].sensitivity, 89);
}

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

TEST(Catalogue, FindModelSetsTheProgramWideIndex) {
  room.modelIndex = 0;
  FindModel("mw3009p  ");
  EXPECT_EQ(room.modelIndex, 5);
  FindModel("unknown");
  EXPECT_EQ(room.modelIndex, 5);
  room.modelIndex = 0;
}

TEST(Catalogue, ModelRowClampsStrayIndices) {
  EXPECT_EQ(ModelRow(-1).name, "NV40     ");
  EXPECT_EQ(ModelRow(7).name, "LX7R     ");
  EXPECT_EQ(ModelRow(4).maxPower, 75);
}

}  // namespace
}  // namespace halvex

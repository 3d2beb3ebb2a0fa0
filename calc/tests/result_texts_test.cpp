#include "calc/result_texts.h"

#include <gtest/gtest.h>

#include <limits>

namespace halvex {
namespace {

LayoutResult Grid(float countX, float countY, float spacingX, float spacingY, float total, float nominal) {
  LayoutResult r;
  r.countX = countX;
  r.countY = countY;
  r.spacingX = spacingX;
  r.spacingY = spacingY;
  r.totalCount = total;
  r.nominalSpacing = nominal;
  return r;
}

TEST(DiagramTexts, OneLoudspeakerEachWayShowsOnlyTheDistances) {
  const DiagramTexts t = FormatDiagram(Grid(1, 1, 15, 20, 1, 21));
  EXPECT_EQ(t.firstX, " 7.5");
  EXPECT_EQ(t.firstY, " 10");
  EXPECT_FALSE(t.spacingX.has_value());
  EXPECT_FALSE(t.spacingY.has_value());
  EXPECT_EQ(t.totalCount, " 1");
  EXPECT_EQ(t.nominalSpacing, " 21");
}

TEST(DiagramTexts, SpacingsShowWhileTheirCountIsAboveOne) {
  const DiagramTexts t = FormatDiagram(Grid(3, 1, 6.6f, 15, 3, 8));
  ASSERT_TRUE(t.spacingX.has_value());
  EXPECT_EQ(*t.spacingX, " 6.6");
  EXPECT_EQ(t.firstX, " 3.3");
  EXPECT_FALSE(t.spacingY.has_value());

  // A fractional count above one but below two is not "more than one".
  EXPECT_FALSE(FormatDiagram(Grid(1.9f, 2, 5, 5, 4, 5)).spacingX.has_value());
  EXPECT_TRUE(FormatDiagram(Grid(1.9f, 2, 5, 5, 4, 5)).spacingY.has_value());
}

TEST(DiagramTexts, HalvesAreFormattedWithoutRoundingToFloat) {
  // 7.3f is 7.30000019...; its half in extended precision has 7 digits " 3.65".
  const DiagramTexts t = FormatDiagram(Grid(2, 2, 7.3f, 13.3f, 4, 7));
  EXPECT_EQ(t.firstX, " 3.65");
  EXPECT_EQ(*t.spacingX, " 7.3");
  EXPECT_EQ(t.firstY, " 6.65");
}

TEST(DiagramTexts, CountIsEmptyOnlyWhenBothSpacingsAreZero) {
  EXPECT_EQ(FormatDiagram(Grid(1, 1, 0, 0, 1, 21)).totalCount, "");
  EXPECT_EQ(FormatDiagram(Grid(1, 1, 0, 15, 1, 21)).totalCount, " 1");
  EXPECT_EQ(FormatDiagram(Grid(1, 1, 20, 0, 1, 21)).totalCount, " 1");
}

TEST(DiagramTexts, NonFiniteValuesShowAsFormatted) {
  const float inf = std::numeric_limits<float>::infinity();
  const DiagramTexts t = FormatDiagram(Grid(inf, 1, std::numeric_limits<float>::quiet_NaN(), 15, inf, 21));
  EXPECT_EQ(t.totalCount, " 9.999999E+998");
  EXPECT_EQ(t.firstX, " 0");
  ASSERT_TRUE(t.spacingX.has_value());
}

TEST(ModelTexts, StartUpFigures) {
  LayoutResult r;
  r.powerRequired = 0.7f;
  r.tap = 0.5f;
  const ModelTexts t = FormatModelResults(r, kCatalogueRows[0]);
  EXPECT_EQ(t.sensitivity, " 94");
  EXPECT_EQ(t.powerRequired, " .7");
  EXPECT_EQ(t.maxPower, " 16");
  EXPECT_EQ(t.tap, " .5");
  r.tap = 0;
  EXPECT_EQ(FormatModelResults(r, kCatalogueRows[4]).tap, " 0");
  EXPECT_EQ(FormatModelResults(r, kCatalogueRows[4]).maxPower, " 75");
}

}  // namespace
}  // namespace halvex

#include "cone/layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace halvex::cone {
namespace {

using P = Pattern;
using G = Grid;

ConeInputs Room(float ceiling, float ear, float length, float width, float spl, const char* model,
                Pattern pattern = P::kMinimumOverlap, Grid grid = G::kSquare, int headroom = 0) {
  return {ceiling, ear, length, width, spl, FindConeModel(model), pattern, grid, headroom};
}

// The worked examples of an independent calculation, levels to +-0.05 dB.
TEST(ConeLayout, WorkedExamples) {
  const struct {
    ConeInputs in;
    double radius, spacing, countX, rows, total, spacingX, spacingY, firstX, firstY, power, tap, load, amplifier;
    double low, high;
  } rows[] = {
      {Room(9, 5, 20, 15, 90, "C4"), 5.7, 8.1, 3, 2, 6, 6.7, 7.5, 3.3, 3.8, 3, 4, 24, 30, 83.5, 91.9},
      {Room(9, 5, 20, 15, 90, "C4", P::kMinimumOverlap, G::kHexagonal), 5.7, 9.9, 3, 2, 5, 6.7, 7.5, 3.3, 3.8, 3, 4, 20,
       25, 78.3, 91.9},
      {Room(9, 5, 20, 15, 90, "C4", P::kMinimumOverlap, G::kSquare, 6), 5.7, 8.1, 3, 2, 6, 6.7, 7.5, 3.3, 3.8, 11.9, 16,
       96, 120, 89.5, 97.9},
      {Room(12, 5, 60, 40, 90, "C6"), 10, 14.1, 5, 3, 15, 12, 13.3, 6, 6.7, 5.8, 8, 120, 150, 83.1, 92.3},
      {Room(10, 4, 60, 36, 88, "C4", P::kEdgeToEdge), 8.6, 17.1, 4, 3, 12, 15, 12, 7.5, 6, 4.3, 8, 96, 120, 79.5, 91.2},
      {Room(10, 4, 60, 36, 88, "C8P", P::kCentreToCentre, G::kHexagonal), 6, 6, 10, 7, 67, 6, 5.1, 3, 2.6, 0.7, 1, 67,
       83.8, 86.5, 92.6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.total << " loudspeakers, " << row.power << " W");
    ConeLayout l;
    ASSERT_EQ(ComputeConeLayout(row.in, l), ConeStatus::kPlanned);
    EXPECT_EQ(RoundedTenth(l.radius), row.radius);
    EXPECT_EQ(RoundedTenth(l.spacing), row.spacing);
    EXPECT_EQ(l.countX, row.countX);
    EXPECT_EQ(l.rows, row.rows);
    EXPECT_EQ(l.total, row.total);
    EXPECT_EQ(RoundedTenth(l.spacingX), row.spacingX);
    EXPECT_EQ(RoundedTenth(l.spacingY), row.spacingY);
    EXPECT_EQ(RoundedTenth(l.spacingX / 2), row.firstX);
    EXPECT_EQ(RoundedTenth(l.spacingY / 2), row.firstY);
    EXPECT_EQ(l.powerShown, row.power);
    EXPECT_EQ(l.tap, row.tap);
    EXPECT_FALSE(l.tapExceeded);
    EXPECT_EQ(l.load, row.load);
    EXPECT_EQ(l.amplifier, row.amplifier);
    EXPECT_EQ(ConePositions(l, row.in.grid, 1e6).size(), static_cast<std::size_t>(row.total));
    const CoverageMap map = ComputeConeCoverage(row.in, l, 3);
    ASSERT_TRUE(map.summary.computed) << map.summary.reason;
    EXPECT_NEAR(map.summary.min, row.low, 0.05);
    EXPECT_NEAR(map.summary.max, row.high, 0.05);
  }
}

// The edges of the chain: one loudspeaker, whole quotients, one column,
// too much power, no height, and inputs beyond any count.
TEST(ConeLayout, EdgesAndRefusals) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    const char* name;
    ConeInputs in;
    ConeStatus status;
    double countX, rows, tap;
    bool tapExceeded;
    std::vector<Position> positions;  // checked when given
  } rows[] = {
      {"smaller than one spacing", Room(9, 5, 5, 4, 90, "C4"), ConeStatus::kPlanned, 1, 1, 4, false, {{2.5, 2}}},
      // 6 ft up, tan 45 deg * 6 = 6 ft (a hair under): 60 ft is 10 spacings, 60.1 is 11.
      {"exact quotient", Room(10, 4, 60, 6, 88, "C8P", P::kCentreToCentre), ConeStatus::kPlanned, 10, 1, 1, false, {}},
      {"just over", Room(10, 4, 60.1f, 6, 88, "C8P", P::kCentreToCentre), ConeStatus::kPlanned, 11, 1, 1, false, {}},
      {"hexagonal, one column",
       Room(9, 5, 5, 20, 90, "C4", P::kMinimumOverlap, G::kHexagonal),
       ConeStatus::kPlanned,
       1,
       3,
       4,
       false,
       {{2.5, 20 / 6.}, {2.5, 10}, {2.5, 100 / 6.}}},
      {"over the highest tap", Room(40, 4, 60, 60, 110, "C8P"), ConeStatus::kPlanned, 2, 2, 4, true, {}},
      {"ceiling at the ear level",
       Room(5, 5, 20, 15, 90, "C4"),
       ConeStatus::kCeilingNotAboveEarLevel,
       0,
       0,
       0,
       false,
       {}},
      {"ceiling below", Room(4, 5, 20, 15, 90, "C4"), ConeStatus::kCeilingNotAboveEarLevel, 0, 0, 0, false, {}},
      {"infinite ceiling", Room(inf, 5, 20, 15, 90, "C4"), ConeStatus::kCeilingTooLarge, 0, 0, 0, false, {}},
      {"infinite ear level", Room(9, inf, 20, 15, 90, "C4"), ConeStatus::kEarLevelTooLarge, 0, 0, 0, false, {}},
      {"infinite length", Room(9, 5, inf, 15, 90, "C4"), ConeStatus::kLengthTooLarge, 0, 0, 0, false, {}},
      {"infinite width", Room(9, 5, 20, inf, 90, "C4"), ConeStatus::kWidthTooLarge, 0, 0, 0, false, {}},
      {"huge SPL", Room(9, 5, 20, 15, 3e38f, "C4"), ConeStatus::kSplTooLarge, 0, 0, 0, false, {}},
      {"huge ceiling", Room(3e38f, 5, 20, 15, 90, "C4"), ConeStatus::kPlanned, 1, 1, 16, true, {{10, 7.5}}},
      {"huge room, hairline height",
       Room(5.0000005f, 5, 3e38f, 3e38f, 90, "C8P"),
       ConeStatus::kPlanned,
       -1,
       -1,
       0.25,
       false,
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ConeLayout l;
    ASSERT_EQ(ComputeConeLayout(row.in, l), row.status);
    if (row.status != ConeStatus::kPlanned) {
      EXPECT_NE(ConeStatusText(row.status), "");
      continue;
    }
    for (const double figure : {l.radius, l.spacing, l.countX, l.rows, l.total, l.spacingX, l.spacingY, l.power,
                                l.powerShown, l.tap, l.load, l.amplifier}) {
      EXPECT_TRUE(std::isfinite(figure)) << figure;
    }
    if (row.countX >= 0) {
      EXPECT_EQ(l.countX, row.countX);
      EXPECT_EQ(l.rows, row.rows);
    }
    EXPECT_EQ(l.tap, row.tap);
    EXPECT_EQ(l.tapExceeded, row.tapExceeded);
    if (row.positions.empty()) continue;
    const std::vector<Position> positions = ConePositions(l, row.in.grid, 1e6);
    ASSERT_EQ(positions.size(), row.positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
      EXPECT_NEAR(positions[i].x, row.positions[i].x, 1e-9);
      EXPECT_NEAR(positions[i].y, row.positions[i].y, 1e-9);
    }
  }
  EXPECT_EQ(ConeStatusText(ConeStatus::kCeilingNotAboveEarLevel), "The ceiling must be above the ear level.");
}

// Minimum overlap on a square grid leaves no point of the floor outside
// every coverage circle, and every loudspeaker stands in the room.
TEST(ConeLayout, MinimumOverlapCoversEveryPoint) {
  std::mt19937 random(20240607);
  std::uniform_real_distribution<float> size(0.5f, 120), ear(0, 6), above(0.2f, 20);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int n = 0; n < 300; ++n) {
    const float earLevel = ear(random);
    const ConeInputs in{earLevel + above(random),
                        earLevel,
                        size(random),
                        size(random),
                        90,
                        static_cast<int>(random() % kConeModelCount)};
    SCOPED_TRACE(::testing::Message() << in.roomLength << " x " << in.roomWidth << ", model " << in.modelIndex);
    ConeLayout l;
    ASSERT_EQ(ComputeConeLayout(in, l), ConeStatus::kPlanned);
    const std::vector<Position> positions = ConePositions(l, in.grid, 1e6);
    ASSERT_EQ(positions.size(), static_cast<std::size_t>(l.total));
    for (const Position& p : positions) {
      ASSERT_TRUE(p.x > 0 && p.x < in.roomLength && p.y > 0 && p.y < in.roomWidth) << p.x << ", " << p.y;
    }
    // The corners of the room first: they are farthest from any loudspeaker.
    for (int k = 0; k < 200; ++k) {
      const double x = k < 4 ? (k % 2) * in.roomLength : unit(random) * in.roomLength;
      const double y = k < 4 ? (k / 2) * in.roomWidth : unit(random) * in.roomWidth;
      double nearest = HUGE_VAL;
      for (const Position& p : positions) nearest = std::min(nearest, std::hypot(p.x - x, p.y - y));
      ASSERT_LE(nearest, l.radius * (1 + 1e-12)) << "at " << x << ", " << y;
    }
  }
}

// The table of the coverage engine against every term computed in full.
TEST(ConeLayout, FastCoverageMatchesTheDirectSum) {
  const ConeInputs rooms[] = {
      Room(10, 4, 100, 100, 88, "C8P", P::kCentreToCentre, G::kHexagonal),
      Room(9, 5, 20, 15, 90, "C4", P::kMinimumOverlap, G::kHexagonal),
      Room(30, 4, 80, 50, 95, "C3W", P::kEdgeToEdge),
      Room(12, 5, 60, 40, 90, "C8", P::kCentreToCentre),
      Room(5.2f, 5, 30, 12, 85, "C4W", P::kMinimumOverlap, G::kHexagonal),
  };
  for (const ConeInputs& in : rooms) {
    SCOPED_TRACE(kConeModels[static_cast<std::size_t>(in.modelIndex)].name);
    ConeLayout l;
    ASSERT_EQ(ComputeConeLayout(in, l), ConeStatus::kPlanned);
    const CoverageMap fast = ComputeConeCoverage(in, l, 3);
    CoverageField field;
    field.length = in.roomLength;
    field.width = in.roomWidth;
    field.height = l.height;
    field.columns = fast.columns;
    field.rows = fast.rows;
    field.offset = ConeModelRow(in.modelIndex).sensitivity + 10 * std::log10(l.tap) - 20 * std::log10(0.3048);
    field.directivity = Directivity(ConeModelRow(in.modelIndex).coverageAngle);
    const CoverageMap direct = ComputeLevelsDirect(field, ConeSources(l, in.grid));
    ASSERT_EQ(direct.spl.size(), fast.spl.size());
    double worst = 0;
    for (std::size_t i = 0; i < fast.spl.size(); ++i) {
      worst = std::max(worst, std::fabs(static_cast<double>(fast.spl[i]) - direct.spl[i]));
    }
    EXPECT_LT(worst, 0.05);
  }
}

}  // namespace
}  // namespace halvex::cone

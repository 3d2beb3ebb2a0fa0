#include "coverage/planar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace halvex {
namespace {

struct Room {
  RoomInputs inputs;
  LayoutResult result;
};

Room Planned(float length, float width, float ceiling, float spl, int deviation, int model = 0) {
  Room room;
  room.inputs = {length, width, 5, ceiling, spl, static_cast<float>(deviation), model};
  EXPECT_TRUE(ComputeLayoutFor(room.inputs, room.result));
  return room;
}

// One NV40 4 ft above the ears at the .5 W tap, in the middle of a 10.5 ft
// square room whose 0.5 ft cells put a centre right below it.
TEST(Coverage, OneLoudspeakerByHand) {
  const Room room = Planned(10.5f, 10.5f, 9, 90, 3);
  ASSERT_EQ(room.result.totalCount, 1);
  ASSERT_EQ(room.result.tap, 0.5f);
  const CoverageMap map = ComputeCoverage(room.inputs, room.result);
  ASSERT_TRUE(map.summary.computed) << map.summary.reason;
  EXPECT_EQ(map.columns, 21);
  EXPECT_EQ(map.rows, 21);
  // Straight below: 94 + 10 log10(.5) + 20 log10(3 / 4) = 94 - 3.0103 - 2.4988.
  EXPECT_NEAR(map.summary.max, 88.4909, 1e-4);
  EXPECT_NEAR(map.At(10, 10), 88.4909, 1e-4);
  // The corner cells, 5 ft off along both walls: r² = 25 + 25 + 16 ft².
  EXPECT_NEAR(map.summary.min, 94 - 3.0103 + 10 * std::log10(9.0 / 66), 1e-4);
  EXPECT_NEAR(map.summary.min, 82.3367, 1e-4);
  // Within 87 dB up to r² = 9 / 10^-.39897 = 22.554 ft², 2.56 ft off the
  // centre: 89 of the 441 cells (a² + b² <= 26.2 in half feet).
  EXPECT_DOUBLE_EQ(map.summary.share, 89.0 / 441);
}

TEST(Coverage, GridIsSymmetricAndEdgesAreQuietest) {
  // 60 x 39.9 ft at +-0 dB: 4 x 3 loudspeakers with no remainder at the walls.
  const Room room = Planned(60, 39.9f, 12, 90, 0);
  ASSERT_EQ(room.result.totalCount, 12);
  const CoverageMap map = ComputeCoverage(room.inputs, room.result);
  ASSERT_TRUE(map.summary.computed);
  EXPECT_EQ(map.columns, 120);
  EXPECT_EQ(map.rows, 80);
  for (int r = 0; r < map.rows; r += 7) {
    for (int c = 0; c < map.columns; c += 5) {
      EXPECT_NEAR(map.At(r, c), map.At(map.rows - 1 - r, map.columns - 1 - c), 1e-3) << r << "," << c;
    }
  }
  EXPECT_FLOAT_EQ(map.At(0, 0), static_cast<float>(map.summary.min));
  EXPECT_GT(map.summary.max - map.summary.min, 3);
}

// The engine sums a half or a quarter of the cells when the layout mirrors
// about the room's centre lines and copies the rest; every cell and the
// share within the target must be those of the full direct sum, mirrored
// or not, with and without directivity.
TEST(Coverage, EngineMatchesTheDirectSumMirroredOrNot) {
  const std::vector<double> full{2.5, 7.5, 12.5, 17.5}, shifted{5, 10, 15}, moved{2.5, 7.5, 12.5, 17};
  const struct {
    const char* name;
    SourceRows sources;
    int columns, rows;
  } layouts[] = {
      {"square, odd cell counts", {{full}, {3, 9, 15}, {0, 0, 0}}, 41, 37},
      {"hexagonal, even rows: mirrored along the length only",
       {{full, shifted}, {2.25, 6.75, 11.25, 15.75}, {0, 1, 0, 1}},
       40,
       36},
      {"hexagonal, odd rows", {{full, shifted}, {3, 9, 15}, {0, 1, 0}}, 40, 37},
      {"one loudspeaker off its place: no mirror", {{moved}, {3, 9, 15}, {0, 0, 0}}, 40, 36},
      {"rows in place, sets not mirrored", {{full, shifted}, {3, 9, 15}, {0, 0, 1}}, 41, 36},
  };
  for (const auto& layout : layouts) {
    for (const double directivity : {0.0, 0.5, 2.0}) {
      SCOPED_TRACE(::testing::Message() << layout.name << ", n = " << directivity);
      CoverageField field;
      field.length = 20;
      field.width = 18;
      field.height = 6;
      field.columns = layout.columns;
      field.rows = layout.rows;
      field.offset = 100;
      field.directivity = directivity;
      const CoverageMap range = ComputeLevelsDirect(field, layout.sources);
      field.target = (range.summary.min + range.summary.max) / 2;
      field.deviation = (range.summary.max - range.summary.min) / 4;
      const CoverageMap direct = ComputeLevelsDirect(field, layout.sources);
      const CoverageMap fast = ComputeLevels(field, layout.sources);
      ASSERT_EQ(fast.spl.size(), direct.spl.size());
      // Without directivity every term is exact; the table is within 0.003 dB.
      const double tolerance = directivity == 0 ? 1e-4 : 0.003;
      double worst = 0;
      for (std::size_t i = 0; i < fast.spl.size(); ++i) {
        worst = std::max(worst, std::fabs(static_cast<double>(fast.spl[i]) - direct.spl[i]));
      }
      EXPECT_LT(worst, tolerance);
      EXPECT_NEAR(fast.summary.min, direct.summary.min, tolerance);
      EXPECT_NEAR(fast.summary.max, direct.summary.max, tolerance);
      if (directivity == 0) {
        EXPECT_EQ(fast.summary.share, direct.summary.share);
      }
      EXPECT_GT(direct.summary.share, 0.1);
    }
  }
}

TEST(Coverage, RoomsThatAreNotChecked) {
  const struct {
    Room room;
    const char* reason;
  } rows[] = {
      {Planned(0, 15, 9, 90, 3), "the room has no floor area"},
      {Planned(20, 15, 12, 103, 3, 4), "no tap fits the power required"},  // 69.1 W
      {Planned(3000, 2000, 9, 90, 3), "the room is too large to check point by point"},
      {Planned(1000, 1000, 5.5f, 105, 0), "too many loudspeakers to check"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.reason);
    const CoverageMap map = ComputeCoverage(row.room.inputs, row.room.result);
    EXPECT_FALSE(map.summary.computed);
    EXPECT_EQ(map.summary.reason, row.reason);
    EXPECT_TRUE(map.spl.empty());
  }
}

}  // namespace
}  // namespace halvex

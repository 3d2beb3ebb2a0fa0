#include "calc/layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace halvex {
namespace {

RoomInputs Room(float length, float width, float ear, float ceiling, float spl, float deviation = 3, int model = 0) {
  RoomInputs inputs;
  inputs.roomLength = length;
  inputs.roomWidth = width;
  inputs.earLevel = ear;
  inputs.ceilingHeight = ceiling;
  inputs.targetSpl = spl;
  inputs.splDeviation = deviation;
  inputs.modelIndex = model;
  return inputs;
}

LayoutResult Compute(const RoomInputs& inputs) {
  LayoutResult result;
  EXPECT_TRUE(ComputeLayoutFor(inputs, result));
  return result;
}

TEST(SpacingFactor, EveryDeviationTheListOffers) {
  const double expected[] = {1.220887, 1.629367, 2.121341, 2.724814, 3.472703, 4.405194, 5.572115};
  const double twice[] = {2.441773, 3.258735, 4.242682, 5.449627, 6.945405, 8.810388, 11.144230};
  for (int d = 0; d <= 6; ++d) {
    SCOPED_TRACE("D = " + std::to_string(d));
    const float k = ComputeSpacingFactor(static_cast<float>(d));
    EXPECT_NEAR(k, expected[d], 6e-7 * expected[d]);
    EXPECT_NEAR(2.0 * k, twice[d], 6e-7 * twice[d]);
  }
}

struct GridCase {
  const char* name;
  RoomInputs inputs;
  float countX, countY, spacingX, spacingY, totalCount, nominalSpacing;
};

TEST(Grid, RoomsWithKnownLayouts) {
  const GridCase cases[] = {
      {"start-up room", Room(20, 15, 5, 9, 90), 1, 1, 20, 15, 1, 21},
      {"60 x 40, ceiling 12", Room(60, 40, 5, 12, 90), 2, 1, 30, 40, 2, 38},
      {"60 x 40, deviation 0", Room(60, 40, 5, 12, 90, 0), 4, 3, 15, 13.3f, 12, 17},
      {"length 0", Room(0, 15, 5, 9, 90), 1, 1, 0, 15, 1, 21},
      {"both 0", Room(0, 0, 5, 9, 90), 1, 1, 0, 0, 1, 21},
      {"dimension below the spacing sits in the middle", Room(7.37f, 15, 5, 9, 90), 1, 1, 7.3f, 15, 1, 21},
  };
  for (const GridCase& c : cases) {
    SCOPED_TRACE(c.name);
    const LayoutResult r = Compute(c.inputs);
    EXPECT_EQ(r.countX, c.countX);
    EXPECT_EQ(r.countY, c.countY);
    EXPECT_EQ(r.spacingX, c.spacingX);
    EXPECT_EQ(r.spacingY, c.spacingY);
    EXPECT_EQ(r.totalCount, c.totalCount);
    EXPECT_EQ(r.nominalSpacing, c.nominalSpacing);
  }
}

// With a spacing factor of 0.5 and a height of 10 ft the nominal spacing is
// exactly 10 ft, so L / S is set directly by the room length.
LayoutResult GridWithSpacing10(float length) {
  LayoutResult result;
  result.spacingFactor = 0.5f;
  ComputeGrid(Room(length, length, 0, 10, 0), result);
  return result;
}

TEST(Grid, RemainderThreshold) {
  EXPECT_EQ(GridWithSpacing10(12).countX, 2);     // L / S = 1.2
  EXPECT_EQ(GridWithSpacing10(11.9f).countX, 1);  // L / S = 1.19
  // One float below 12 ft stays below the threshold of 0.19999998807907104.
  EXPECT_EQ(GridWithSpacing10(std::nextafter(12.0f, 0.0f)).countX, 1);
}

TEST(Grid, SpacingIsRoundedDownNotToNearest) {
  LayoutResult result;
  result.spacingFactor = 0.4f;  // S = 8 ft: 20 / 8 + 0.8 = 3.3, three loudspeakers
  ComputeGrid(Room(20, 20, 0, 10, 0), result);
  EXPECT_EQ(result.countX, 3);
  EXPECT_EQ(result.spacingX, 6.6f);
}

TEST(Grid, CountsUseTheUnroundedSpacing) {
  // S = 21.79851 for the start-up room: 47.9 / S + 0.8 = 2.997 gives 2, where
  // the whole-feet 21 would give 47.9 / 21 + 0.8 = 3.081, that is 3.
  const LayoutResult r = Compute(Room(47.9f, 15, 5, 9, 90));
  EXPECT_EQ(r.countX, 2);
  EXPECT_EQ(r.nominalSpacing, 21);
}

struct PowerCase {
  const char* name;
  RoomInputs inputs;
  float distanceLoss, levelOver1W, powerRequired, tap;
  bool powerExceeded, tapExceeded;
};

constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(Power, KnownLevelsPowersAndTaps) {
  const PowerCase cases[] = {
      {"start-up", Room(20, 15, 5, 9, 90), -2.5f, -1.5f, 0.7f, 0.5f, false, false},
      {"SPL 105", Room(20, 15, 5, 9, 105), -2.5f, 13.5f, 22.3f, 16, true, false},
      {"MW3018K h 7 SPL 100", Room(20, 15, 5, 12, 100, 3, 4), -7.4f, 15.4f, 34.6f, 32, false, false},
      {"MW3018K h 7 SPL 102", Room(20, 15, 5, 12, 102, 3, 4), -7.4f, 17.4f, 54.9f, 64, false, true},
      {"MW3018K h 7 SPL 103", Room(20, 15, 5, 12, 103, 3, 4), -7.4f, 18.4f, 69.1f, 0, false, false},
      {"LX7R h 7 SPL 105", Room(20, 15, 5, 12, 105, 3, 6), -7.4f, 22.4f, 173.7f, 0, true, false},
      {"h exactly 3 ft", Room(20, 15, 5, 8, 100), 0, 6, 3.9f, 4, false, false},
      {"far below the sensitivity", Room(20, 15, 5, 8, 70), 0, -24, 0, 0, false, false},
      // Whole-number powers must not lose a step to a logarithm or power
      // that comes back an ulp low.
      {"10 dB over 1 W", Room(20, 15, 5, 8, 104), 0, 10, 10, 8, false, false},
      {"20 dB over 1 W", Room(20, 15, 5, 8, 114), 0, 20, 100, 0, true, false},
      {"-10 dB", Room(20, 15, 5, 8, 84), 0, -10, 0.1f, 0.5f, false, false},
      {"0 dB", Room(20, 15, 5, 8, 94), 0, 0, 1, 1, false, false},
      {"30 ft away", Room(20, 15, 5, 35, 94), -20, 20, 100, 0, true, false},
      {"300 ft away", Room(20, 15, 5, 305, 94), -40, 40, 10000, 0, true, false},
      // A height that is infinite as a float loses everything: infinite power.
      {"infinite ceiling", Room(20, 15, 5, kInf, 90), -kInf, kInf, kInf, 0, true, false},
      {"ear level minus infinity", Room(20, 15, -kInf, 9, 90), -kInf, kInf, kInf, 0, true, false},
  };
  for (const PowerCase& c : cases) {
    SCOPED_TRACE(c.name);
    const LayoutResult r = Compute(c.inputs);
    EXPECT_EQ(r.distanceLoss, c.distanceLoss);
    EXPECT_EQ(r.levelOver1W, c.levelOver1W);
    EXPECT_EQ(r.powerRequired, c.powerRequired);
    EXPECT_EQ(r.tap, c.tap);
    const LoudspeakerModel& model = ModelRow(c.inputs.modelIndex);
    EXPECT_EQ(PowerExceeded(r, model), c.powerExceeded);
    EXPECT_EQ(TapExceeded(r, model), c.tapExceeded);
  }
}

TEST(Tap, RowBoundaries) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float power, tap;
  } rows[] = {
      {0, 0},     {0.0009f, 0}, {0.001f, 0.5f}, {0.1f, 0.5f}, {0.75f, 0.5f}, {0.76f, 1}, {0.8f, 1},  {1.5f, 1},
      {1.6f, 2},  {3, 2},       {3.1f, 4},      {6, 4},       {6.1f, 8},     {12, 8},    {12.1f, 16}, {24, 16},
      {24.1f, 32}, {48, 32},    {48.1f, 64},    {64, 64},     {64.1f, 0},    {inf, 0},   {nan, 0},   {-1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.power);
    EXPECT_EQ(SelectTap(row.power), row.tap);
  }
}

bool SameBits(const LayoutResult& a, const LayoutResult& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(Layout, CeilingNotAboveEarLevelLeavesTheResult) {
  LayoutResult before;
  ASSERT_TRUE(ComputeLayoutFor(Room(60, 40, 5, 12, 100), before));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const RoomInputs rooms[] = {Room(20, 15, 5, 5, 90), Room(20, 15, 5, 4, 90), Room(20, 15, 9, 0, 90),
                              Room(20, 15, nan, 9, 90), Room(20, 15, 5, nan, 90)};
  for (const RoomInputs& inputs : rooms) {
    LayoutResult result = before;
    EXPECT_FALSE(ComputeLayoutFor(inputs, result));
    EXPECT_TRUE(SameBits(result, before));
  }
}

TEST(Layout, NonFiniteInputsStayFloatingPoint) {
  const float inf = std::numeric_limits<float>::infinity();
  const LayoutResult r = Compute(Room(inf, 15, 5, 9, inf));
  EXPECT_TRUE(std::isinf(r.countX));
  EXPECT_TRUE(std::isinf(r.totalCount));
  EXPECT_TRUE(std::isnan(r.spacingX));  // infinity / infinity
  EXPECT_EQ(r.countY, 1);
  EXPECT_TRUE(std::isinf(r.powerRequired));
  EXPECT_EQ(r.tap, 0);

  const LayoutResult huge = Compute(Room(20, 15, -3e38f, 3e38f, 90));  // spacing overflows
  EXPECT_TRUE(std::isinf(huge.nominalSpacing));
  EXPECT_EQ(huge.countX, 1);
  EXPECT_EQ(huge.tap, 0);
}

}  // namespace
}  // namespace halvex

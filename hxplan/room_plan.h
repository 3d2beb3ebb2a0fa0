// One planned room of a project, and the units in which its lengths are read
// and shown. The calculation always runs in feet.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calc/layout.h"
#include "cone/layout.h"
#include "coverage/coverage.h"

namespace halvex::plan {

inline constexpr long double kMetresPerFoot = 0.3048L;

struct RoomPlan {
  int line = 0;  // where the room's row begins in its file
  std::string name;
  std::string zone;
  RoomInputs inputs;  // feet, as the calculator stores them; the room's values for a cone room too
  LayoutResult result;
  bool cone = false;  // laid out by coverage angle: the plan is in coneInputs and coneLayout
  cone::ConeInputs coneInputs;
  cone::ConeLayout coneLayout;
  CoverageSummary coverage;  // when the coverage was asked for
  std::string drawing;       // the file name of its plan, when plans are drawn
  // The room's model, built-in or from the user's library (whose names the
  // views point into, and which outlives every room).
  LoudspeakerModel model = kCatalogueRows[0];
  cone::ConeModel coneModel = cone::kConeModels[0];
  bool libraryModel = false;
  // The cable from the amplifier to the room, when the row gives one.
  float run = 0;   // ft
  int cable = -1;  // a row of the cable table, -1 for none
};

// The largest room a plan takes: beyond it the drawing, the positions and
// the coverage of a room would be absurd, and the totals would lose digits.
inline constexpr float kMaxSide = 10000;                   // ft, every length and height
inline constexpr float kMaxPlannedLoudspeakers = 100000;  // in one room

// Why a room's values are no real room, or empty: a value beyond a
// single-precision number, a length or width not above 0, a length or
// height beyond kMaxSide.
//   length 0 -> "length must be above 0"
std::string WhyNotARoom(const RoomInputs& inputs, bool metric);
// Why a planned room is beyond what a plan takes (more than
// kMaxPlannedLoudspeakers, a power beyond any number), or empty.
std::string WhyTooLarge(const RoomPlan& room);

// Whether the coverage misses what the room asks for: a spread of levels
// beyond the 2 x D that +-D allows, or no cell within the target +-D.
bool CoverageFails(const CoverageSummary& coverage, const RoomInputs& inputs);

// The coverage figures in words, for the plan and the drawing:
//   "82.3 to 88.5 dB, spread 6.2 dB (+-3 allows 6), 12.5 % within 90 +-3 dB"
std::string CoverageText(const CoverageSummary& coverage, const RoomInputs& inputs);
// A level to 0.1 dB and a share in per cent, rounded down to 0.1.
std::string DecibelText(double level);
std::string PercentText(double share);

// A typed length as the calculator stores it: its number, sign dropped, in
// feet (a metric value is converted first).
float LengthInFeet(std::string_view text, bool metric);

// A length in feet as typed: feet at 7 digits, or metres to the millimetre.
std::string LengthText(long double feet, bool metric);
// A position or distance built from the stored spacings, which are floats
// near a tenth of a foot: to 0.01 ft or 0.01 m, so 11.1 + 8 x 22.2 reads
// 188.7 and not 188.7000061, and 16.4 ft reads 5 m, not 4.999.
std::string DimensionText(long double feet, bool metric);
// The same in hundredths of the unit, for chains that must add up, and
// hundredths as text: 1330 -> "13.3", 5 -> ".05".
long long DimensionHundredths(long double feet, bool metric);
std::string HundredthsText(long long hundredths);
std::string AreaText(long double squareFeet, bool metric);  // ft² or m² to 0.01
const char* LengthUnit(bool metric);                        // "ft" or "m"
const char* AreaUnit(bool metric);                          // "ft²" or "m²"

// Loudspeaker centres along one direction: spacing / 2 from the wall, then
// every spacing. Empty when the count is not a whole number from 1 to `limit`.
std::vector<long double> GridPositions(float count, float spacing, float limit);

}  // namespace halvex::plan

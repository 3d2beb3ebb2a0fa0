// The cone calculator's window "Cone Speaker Layout": its controls as data.
// The room picture and its five fields are HXP's, in the same places.
#pragma once

#include "hxc/resource_ids.h"
#include "room/room.h"
#include "ui/ui.h"

namespace halvex::hxc {

using room::kCeilingHeight;
using room::kEarLevel;
using room::kRoomLength;
using room::kRoomWidth;
using room::kTargetSpl;

enum ControlId : int {
  kModelLabel = 201,
  kModelList = 202,
  kPatternLabel = 203,
  kPatternList = 204,
  kGridLabel = 205,
  kGridList = 206,
  kHeadroomLabel = 207,
  kHeadroomList = 208,
  kPlanGroup = 210,
  kPlan = 211,
  kLoudspeakerGroup = 212,
  kCoverageAngle = 214,
  kSensitivity = 216,
  kTaps = 218,
  kLayoutGroup = 219,
  kWarning = 220,  // the tap over the highest, or why nothing is calculated
  kResultsGroup = 221,
  kCount = 223,
  kSpacing = 225,
  kFirst = 227,
  kRadius = 229,
  kNominalSpacing = 231,
  kPower = 233,
  kTap = 235,
  kLoad = 237,
  kAmplifier = 239,
  kLevel = 241,
  kHelpGroup = 242,
  kHelpNotes = 243,
};

inline constexpr int kIconCalculator = HXC_ICON;

// The results that are blank while nothing is calculated.
inline constexpr int kResultControls[] = {kCount, kSpacing, kFirst, kRadius, kNominalSpacing,
                                          kPower, kTap,     kLoad,  kAmplifier, kLevel};

// The list entries, in the order of the calculation's enumerations.
inline constexpr const char* kPatternEntries[] = {"Edge to edge", "Minimum overlap", "Centre to centre"};
inline constexpr const char* kGridEntries[] = {"Square", "Hexagonal"};

const ui::WindowTable& ConeWindowTable();

}  // namespace halvex::hxc

// The calculator window "Planar Speaker Layout": its controls as data.
#pragma once

#include "hxp/resource_ids.h"
#include "room/room.h"
#include "ui/ui.h"

namespace halvex::hxp {

// Control ids.
enum ControlId : int {
  kRoomLength = room::kRoomLength,
  kRoomWidth = room::kRoomWidth,
  kEarLevel = room::kEarLevel,
  kCeilingHeight = room::kCeilingHeight,
  kTargetSpl = room::kTargetSpl,
  kDeviationList = 124,
  kModelList = 125,
  kLayoutGroup = 126,
  kRoomGroup = room::kRoomGroup,
  kLoudspeakerGroup = 128,
  kSpacingX = 129,
  kSpacingY = 130,
  kMarkAlongY = 131,    // next loudspeaker along Y
  kMarkAlongX = 132,    // next loudspeaker along X
  kMarkFirst = 133,     // the first loudspeaker, lower left
  kMarkDiagonal = 134,  // the diagonal neighbour
  kFirstX = 135,
  kFirstY = 136,
  kPowerRequired = 140,
  kSensitivity = 142,
  kMaxPower = 144,
  kTap = 145,
  kNominalSpacing = 147,
  kHelpNotes = 150,
  kPictureCeiling = room::kPictureCeiling,
  kPictureEarLevel = room::kPictureEarLevel,
  kPictureLength = room::kPictureLength,
  kPictureWidth = room::kPictureWidth,
  kPictureSpl = room::kPictureSpl,
  kPicturePlain = room::kPicturePlain,
  kTotalCount = 164,
  kDiagramClickArea = 167,
  kPowerWarning = 172,
};

// Picture resources of the room pictures, and the window icon.
enum Resource : int {
  kBitmapCeiling = room::kBitmapCeiling,
  kBitmapEarLevel = room::kBitmapEarLevel,
  kBitmapLength = room::kBitmapLength,
  kBitmapWidth = room::kBitmapWidth,
  kBitmapSpl = room::kBitmapSpl,
  kBitmapPlain = room::kBitmapPlain,
  kIconCalculator = HXP_ICON,
};
// HXP's resource script numbers the room pictures as both calculators do.
static_assert(HXP_PICTURE_CEILING == kBitmapCeiling && HXP_PICTURE_EAR_LEVEL == kBitmapEarLevel &&
              HXP_PICTURE_LENGTH == kBitmapLength && HXP_PICTURE_WIDTH == kBitmapWidth &&
              HXP_PICTURE_SPL == kBitmapSpl && HXP_PICTURE_PLAIN == kBitmapPlain);

using room::kRoomPictures;
using room::PictureControl;
using room::ResourceName;

// The diagram's bold fonts and the controls that show them: the distances,
// the loudspeaker marks and the loudspeaker count.
inline constexpr int kDistanceFontPoints = 8;
inline constexpr int kMarkFontPoints = 14;
inline constexpr int kCountFontPoints = 12;
inline constexpr int kDistanceControls[] = {kSpacingX, kSpacingY, kFirstX, kFirstY};
inline constexpr int kMarkControls[] = {kMarkAlongY, kMarkAlongX, kMarkFirst, kMarkDiagonal};
inline constexpr int kCountControls[] = {kTotalCount};

const ui::WindowTable& CalculatorWindowTable();

}  // namespace halvex::hxp

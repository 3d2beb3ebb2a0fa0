// The calculator window "Planar Speaker Layout": its controls as data.
#pragma once

#include "hxp/resource_ids.h"
#include "ui/ui.h"

namespace halvex::hxp {

// Control ids.
enum ControlId : int {
  kRoomLength = 119,
  kRoomWidth = 120,
  kEarLevel = 121,
  kCeilingHeight = 122,
  kTargetSpl = 123,
  kDeviationList = 124,
  kModelList = 125,
  kLayoutGroup = 126,
  kRoomGroup = 127,
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
  kPictureCeiling = 157,
  kPictureEarLevel = 158,
  kPictureLength = 159,
  kPictureWidth = 160,
  kPictureSpl = 161,
  kPicturePlain = 162,
  kTotalCount = 164,
  kDiagramClickArea = 167,
  kPowerWarning = 172,
};

// Picture resources of the room pictures, and the window icon.
enum Resource : int {
  kBitmapCeiling = HXP_PICTURE_CEILING,
  kBitmapEarLevel = HXP_PICTURE_EAR_LEVEL,
  kBitmapLength = HXP_PICTURE_LENGTH,
  kBitmapWidth = HXP_PICTURE_WIDTH,
  kBitmapSpl = HXP_PICTURE_SPL,
  kBitmapPlain = HXP_PICTURE_PLAIN,
  kIconCalculator = HXP_ICON,
};

struct PictureControl {
  int id;
  int resource;
};

// The six room pictures, stacked in one place; exactly one shows at a time.
inline constexpr PictureControl kRoomPictures[] = {
    {kPictureLength, kBitmapLength},   {kPicturePlain, kBitmapPlain},     {kPictureSpl, kBitmapSpl},
    {kPictureEarLevel, kBitmapEarLevel}, {kPictureWidth, kBitmapWidth}, {kPictureCeiling, kBitmapCeiling},
};

// The diagram's bold fonts and the controls that show them: the distances,
// the loudspeaker marks and the loudspeaker count.
inline constexpr int kDistanceFontPoints = 8;
inline constexpr int kMarkFontPoints = 14;
inline constexpr int kCountFontPoints = 12;
inline constexpr int kDistanceControls[] = {kSpacingX, kSpacingY, kFirstX, kFirstY};
inline constexpr int kMarkControls[] = {kMarkAlongY, kMarkAlongX, kMarkFirst, kMarkDiagonal};
inline constexpr int kCountControls[] = {kTotalCount};

const ui::WindowTable& CalculatorWindowTable();

// "#" and the bare number: "#115".
std::string ResourceName(int resource);

}  // namespace halvex::hxp

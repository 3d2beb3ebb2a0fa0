#include "hxp/calculator_window.h"

namespace halvex::hxp {

namespace {

using namespace ui::style;
using ui::ControlKind;

constexpr std::uint32_t kDiagramValue = kSsCenter;
constexpr std::uint32_t kMark = kSsLeft;
constexpr std::uint32_t kLine = kSsEtchedFrame;

}  // namespace

const ui::WindowTable& CalculatorWindowTable() {
  // Creation order is tab order, and the first control created lies on top:
  // the input fields stay in front of the pictures. Pictures get their
  // bitmaps once created, by resource name.
  static const ui::WindowTable table{
      "Planar Speaker Layout",
      400,
      331,
      room::kCalculatorWindowStyle,
      room::kCalculatorWindowExStyle,
      {
          room::kRoomLengthRow,
          room::kRoomWidthRow,
          room::kEarLevelRow,
          room::kTargetSplRow,
          room::kCeilingHeightRow,
          {kDeviationList, ControlKind::Combo, "", 331, 30, 54, 75, kVScroll | kTabStop | kCbsDropDown | kCbsSort, 0},
          {kModelList, ControlKind::Combo, "", 219, 200, 54, 78, kVScroll | kTabStop | kCbsDropDown, 0},
          room::PictureRow(kPictureLength),
          room::PictureRow(kPicturePlain),
          room::PictureRow(kPictureSpl),
          room::PictureRow(kPictureEarLevel),
          {kLayoutGroup, ControlKind::Group, "Speaker Layout", 11, 167, 195, 161, kBsGroupBox | kBsLeft, kExTransparent},
          room::kRoomGroupRow,
          {kLoudspeakerGroup, ControlKind::Group, "Loudspeaker", 209, 165, 182, 84, kBsGroupBox, 0},
          {kSpacingX, ControlKind::Label, "ccx", 113, 273, 22, 11, kDiagramValue, kExTransparent},
          {kSpacingY, ControlKind::Label, "ccy", 59, 234, 33, 11, kDiagramValue, kExTransparent},
          {kMarkAlongY, ControlKind::Label, "S", 70, 200, 11, 15, kMark, kExTransparent},
          {kMarkAlongX, ControlKind::Label, "S", 161, 269, 11, 15, kMark, kExTransparent},
          {kMarkFirst, ControlKind::Label, "S", 70, 269, 11, 15, kMark, kExTransparent},
          {kMarkDiagonal, ControlKind::Label, "S", 161, 200, 11, 15, kMark, kExTransparent},
          {kFirstX, ControlKind::Label, "ccy", 24, 273, 31, 11, kDiagramValue, kExTransparent},
          {kFirstY, ControlKind::Label, "ccy", 59, 298, 33, 11, kDiagramValue, kExTransparent},
          room::PictureRow(kPictureWidth),
          {137, ControlKind::Label, "Model", 233, 185, 27, 10, kSsLeft, 0},
          {138, ControlKind::Label, "Deviation+- dB", 331, 15, 54, 10, kSsLeft, 0},
          {139, ControlKind::Label, "Power Req.", 225, 224, 38, 11, kSsLeft, 0},
          {kPowerRequired, ControlKind::Label, "Power", 271, 224, 34, 11, kSsCenter, 0},
          {141, ControlKind::Label, "Sensitivity", 283, 185, 33, 10, kSsLeft, 0},
          {kSensitivity, ControlKind::Label, "Sens", 283, 200, 33, 10, kSsLeft, 0},
          {143, ControlKind::Label, "Max Power", 326, 185, 43, 10, kSsLeft, 0},
          {kMaxPower, ControlKind::Label, "Power", 331, 200, 33, 10, kSsLeft, 0},
          {kTap, ControlKind::Label, "Tap", 347, 224, 22, 11, kSsLeft, 0},
          {146, ControlKind::Label, "Tap @", 321, 224, 27, 11, kSsLeft, 0},
          {kNominalSpacing, ControlKind::Label, "cc", 171, 308, 20, 10, kSsLeft, kExTransparent},
          {148, ControlKind::Label, "Calculated CC", 118, 308, 48, 10, kSsLeft, kExTransparent},
          {149, ControlKind::Group, "Help", 209, 254, 182, 74, kBsGroupBox, 0},
          // Eight lines of the dialog font, the model note's count: two units
          // higher and five taller than the 59 that showed seven.
          {kHelpNotes, ControlKind::Label, "Help Notes", 214, 262, 171, 64, kSsLeft, 0},
          {151, ControlKind::Line, "", 74, 214, 1, 20, kLine, kExTransparent},
          {152, ControlKind::Line, "", 82, 207, 75, 1, kLine, kExTransparent},
          {153, ControlKind::Line, "", 81, 278, 33, 1, kLine, kExTransparent},
          {154, ControlKind::Line, "", 166, 213, 1, 54, kLine, kExTransparent},
          {156, ControlKind::Line, "", 74, 282, 1, 16, kLine, kExTransparent},
          room::PictureRow(kPictureCeiling),
          {163, ControlKind::Label, "Speaker Count", 96, 225, 53, 10, kSsLeft, kExTransparent},
          {kTotalCount, ControlKind::Label, "SpeakerCount", 96, 240, 45, 10, kSsCenter, kExTransparent},
          {165, ControlKind::Line, "", 11, 277, 15, 1, kLine, kExTransparent},
          {kDiagramClickArea, ControlKind::Picture, "", 11, 170, 190, 160, kSsBitmap | kSsNotify, 0},
          {168, ControlKind::Line, "", 54, 278, 15, 1, kLine, kExTransparent},
          {169, ControlKind::Line, "", 133, 278, 27, 1, kLine, kExTransparent},
          {170, ControlKind::Line, "", 74, 247, 1, 20, kLine, kExTransparent},
          {171, ControlKind::Line, "", 74, 309, 1, 20, kLine, kExTransparent},
          {kPowerWarning, ControlKind::Label, "Power required exceeds Max. Power Handling", 211, 236, 170, 10, kSsCenter, 0},
      },
  };
  return table;
}

}  // namespace halvex::hxp

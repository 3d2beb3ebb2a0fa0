#include "hxc/cone_window.h"

namespace halvex::hxc {

namespace {

using namespace ui::style;
using ui::ControlKind;

constexpr std::uint32_t kList = kVScroll | kTabStop | kCbsDropDown;

}  // namespace

const ui::WindowTable& ConeWindowTable() {
  // Creation order is tab order, and the first control created lies on top:
  // the room fields in hand-off order, then each list right after the
  // caption whose mnemonic reaches it.
  static const ui::WindowTable table{
      "Cone Speaker Layout",
      400,
      408,
      room::kCalculatorWindowStyle,
      room::kCalculatorWindowExStyle,
      {
          room::kCeilingHeightRow,
          room::kEarLevelRow,
          room::kRoomLengthRow,
          room::kRoomWidthRow,
          room::kTargetSplRow,
          {kModelLabel, ControlKind::Label, "&Model", 215, 177, 30, 10, kSsLeft, 0},
          {kModelList, ControlKind::Combo, "", 248, 175, 54, 100, kList, 0},
          {kPatternLabel, ControlKind::Label, "Pa&ttern", 215, 246, 36, 10, kSsLeft, 0},
          {kPatternList, ControlKind::Combo, "", 255, 244, 82, 50, kList, 0},
          {kGridLabel, ControlKind::Label, "&Grid", 215, 262, 36, 10, kSsLeft, 0},
          {kGridList, ControlKind::Combo, "", 255, 260, 82, 40, kList, 0},
          {kHeadroomLabel, ControlKind::Label, "Head&room dB", 331, 15, 54, 10, kSsLeft, 0},
          {kHeadroomList, ControlKind::Combo, "", 331, 30, 54, 60, kList, 0},
          room::PictureRow(room::kPictureLength),
          room::PictureRow(room::kPicturePlain),
          room::PictureRow(room::kPictureSpl),
          room::PictureRow(room::kPictureEarLevel),
          room::PictureRow(room::kPictureWidth),
          room::PictureRow(room::kPictureCeiling),
          room::kRoomGroupRow,
          {kPlanGroup, ControlKind::Group, "Plan", 11, 165, 195, 140, kBsGroupBox, 0},
          {kPlan, ControlKind::Drawing, "", 16, 176, 185, 125, 0, 0},
          {kLoudspeakerGroup, ControlKind::Group, "Loudspeaker", 209, 165, 182, 66, kBsGroupBox, 0},
          {213, ControlKind::Label, "Coverage", 215, 192, 45, 10, kSsLeft, 0},
          {kCoverageAngle, ControlKind::Label, "", 262, 192, 122, 10, kSsLeft, 0},
          {215, ControlKind::Label, "Sensitivity", 215, 203, 45, 10, kSsLeft, 0},
          {kSensitivity, ControlKind::Label, "", 262, 203, 122, 10, kSsLeft, 0},
          {217, ControlKind::Label, "Taps", 215, 214, 45, 10, kSsLeft, 0},
          {kTaps, ControlKind::Label, "", 262, 214, 122, 10, kSsLeft, 0},
          {kLayoutGroup, ControlKind::Group, "Layout", 209, 234, 182, 44, kBsGroupBox, 0},
          {kWarning, ControlKind::Label, "", 211, 282, 178, 10, kSsCenter, 0},
          {kResultsGroup, ControlKind::Group, "Results", 11, 308, 195, 96, kBsGroupBox, 0},
          {222, ControlKind::Label, "Loudspeakers", 16, 319, 70, 10, kSsLeft, 0},
          {kCount, ControlKind::Label, "", 88, 319, 114, 10, kSsLeft, 0},
          {224, ControlKind::Label, "Spacing", 16, 329, 70, 10, kSsLeft, 0},
          {kSpacing, ControlKind::Label, "", 88, 329, 114, 10, kSsLeft, 0},
          {226, ControlKind::Label, "First from walls", 16, 339, 70, 10, kSsLeft, 0},
          {kFirst, ControlKind::Label, "", 88, 339, 114, 10, kSsLeft, 0},
          {228, ControlKind::Label, "Coverage radius", 16, 349, 70, 10, kSsLeft, 0},
          {kRadius, ControlKind::Label, "", 88, 349, 114, 10, kSsLeft, 0},
          {230, ControlKind::Label, "Nominal spacing", 16, 359, 70, 10, kSsLeft, 0},
          {kNominalSpacing, ControlKind::Label, "", 88, 359, 114, 10, kSsLeft, 0},
          {232, ControlKind::Label, "Power Req.", 16, 369, 44, 10, kSsLeft, 0},
          {kPower, ControlKind::Label, "", 62, 369, 38, 10, kSsLeft, 0},
          {234, ControlKind::Label, "Tap @", 110, 369, 26, 10, kSsLeft, 0},
          {kTap, ControlKind::Label, "", 138, 369, 38, 10, kSsLeft, 0},
          {236, ControlKind::Label, "Line load", 16, 379, 44, 10, kSsLeft, 0},
          {kLoad, ControlKind::Label, "", 62, 379, 46, 10, kSsLeft, 0},
          {238, ControlKind::Label, "Amplifier", 110, 379, 36, 10, kSsLeft, 0},
          {kAmplifier, ControlKind::Label, "", 148, 379, 54, 10, kSsLeft, 0},
          {240, ControlKind::Label, "Level", 16, 389, 30, 10, kSsLeft, 0},
          {kLevel, ControlKind::Label, "", 48, 389, 154, 10, kSsLeft, 0},
          {kHelpGroup, ControlKind::Group, "Help", 209, 295, 182, 109, kBsGroupBox, 0},
          {kHelpNotes, ControlKind::Label, "Help Notes", 214, 305, 171, 95, kSsLeft, 0},
      },
  };
  return table;
}

}  // namespace halvex::hxc

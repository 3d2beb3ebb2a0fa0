#include "hxp/help_notes.h"

#include "hxp/calculator_window.h"

namespace halvex::hxp {

namespace {

// A single carriage return breaks a line. The model note's middle sentences
// run on with only the blank each begins with.
constexpr std::string_view kLengthNote = "Enter Room Length.";
constexpr std::string_view kWidthNote = "Enter Room Width.";
constexpr std::string_view kEarLevelNote =
    "Enter Ear Level.\r"
    "Normally 5 feet standing and 3 feet sitting.";
constexpr std::string_view kCeilingNote = "Enter the Ceiling Height (loudspeaker height).";
constexpr std::string_view kSplNote = "Enter SPL (Sound Pressure Level) to be achieved at Ear Level.";
constexpr std::string_view kModelNote =
    "Select the Loudspeaker Model to be used\r"
    "-Sensitivity is the SPL of the loudspeaker at 3 ft. with 1 watt input."
    " -Max Power indicates the Maximum Power Handling of the unit"
    " -Power Req. indicates the Amount of power required to achieve the SPL indicated\r"
    "-Tap @ indicates the tap that should be used in a 70V Device";
constexpr std::string_view kDeviationNote =
    "Enter SPL (Sound Pressure Level) Deviation\r"
    "The deviation ie. 3 dB will have a total swing of 6 dB.\r"
    "For example: 90 DB +-3 dB will have a variation from 87 dB to 93 dB";
constexpr std::string_view kDiagramNote =
    "Graph indicates the position of the first Loudspeaker referenced to the wall, in the Length (X) and in the "
    "width (Y).\r"
    "Also shows the position of the subsequent loudspeakers in the Length and Width ( X and Y)\r"
    "Calculated CC is the actual Center to Center of the Loudspeakers ";

constexpr FocusHelp kFocusHelp[] = {
    {kRoomLength, ui::kEnSetFocus, kPictureLength, kLengthNote},
    {kRoomWidth, ui::kEnSetFocus, kPictureWidth, kWidthNote},
    {kEarLevel, ui::kEnSetFocus, kPictureEarLevel, kEarLevelNote},
    {kCeilingHeight, ui::kEnSetFocus, kPictureCeiling, kCeilingNote},
    {kTargetSpl, ui::kEnSetFocus, kPictureSpl, kSplNote},
    {kModelList, ui::kCbnSetFocus, kPicturePlain, kModelNote},
    {kDeviationList, ui::kCbnSetFocus, kPicturePlain, kDeviationNote},
    {kDiagramClickArea, ui::kStnClicked, 0, kDiagramNote},
};

}  // namespace

const FocusHelp* FindFocusHelp(int controlId, int notification) {
  for (const FocusHelp& help : kFocusHelp) {
    if (help.controlId == controlId && help.notification == notification) return &help;
  }
  return nullptr;
}

}  // namespace halvex::hxp

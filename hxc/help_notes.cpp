#include "hxc/help_notes.h"

#include "hxc/cone_window.h"

namespace halvex::hxc {

namespace {

// A carriage return breaks a line.
constexpr FocusHelp kFocusHelp[] = {
    {kCeilingHeight, ui::kEnSetFocus, room::kPictureCeiling,
     "Enter the ceiling height in feet: where the loudspeakers are mounted."},
    {kEarLevel, ui::kEnSetFocus, room::kPictureEarLevel,
     "Enter the ear level in feet: about 5 standing, 3 to 4 sitting.\r"
     "The ceiling must be above it."},
    {kRoomLength, ui::kEnSetFocus, room::kPictureLength,
     "Enter the room length in feet: the loudspeakers' rows run along it."},
    {kRoomWidth, ui::kEnSetFocus, room::kPictureWidth, "Enter the room width in feet: the rows follow each other across it."},
    {kTargetSpl, ui::kEnSetFocus, room::kPictureSpl,
     "Enter the SPL in dB to reach at ear level straight below each loudspeaker."},
    {kModelList, ui::kCbnSetFocus, room::kPicturePlain,
     "Select the loudspeaker model.\r"
     "Its coverage angle sets the coverage circle at ear level: radius = height above ear level x tan(angle / 2).\r"
     "Sensitivity is the SPL at 1 m with 1 W."},
    {kPatternList, ui::kCbnSetFocus, room::kPicturePlain,
     "Select how far apart the coverage circles stand: edge to edge (2 radii), minimum overlap (no gaps "
     "between them) or centre to centre (1 radius, the most even level)."},
    {kGridList, ui::kCbnSetFocus, room::kPicturePlain,
     "Select the grid: square, or hexagonal, where every second row is shifted by half a spacing and the rows "
     "stand closer."},
    {kHeadroomList, ui::kCbnSetFocus, room::kPicturePlain,
     "Select the headroom in dB added to the SPL for the power: for peaks above the level you set.\r"
     "The tap is the lowest 70 V tap that gives that power."},
};

}  // namespace

const FocusHelp* FindFocusHelp(int controlId, int notification) {
  for (const FocusHelp& help : kFocusHelp) {
    if (help.controlId == controlId && help.notification == notification) return &help;
  }
  return nullptr;
}

}  // namespace halvex::hxc

// Drawings of planned rooms: an SVG plan per room with every loudspeaker
// dimensioned from the walls, and the loudspeaker positions as CSV for CAD.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "hxplan/room_plan.h"

namespace halvex::plan {

// Above this many loudspeakers a plan shows the room and the title block but
// no symbols: they would merge into one grey area anyway.
inline constexpr float kMaxDrawnLoudspeakers = 2500;
// At most this many positions are listed for one room.
inline constexpr float kMaxListedLoudspeakers = 1e6f;

// The plan of one room, to scale, in feet or metres, with the coverage map
// under the grid when one is given. Nothing in it depends on the time or the
// machine, so the same room always gives the same bytes. Its second line is
// the PlanMark of `project`.
std::string RoomSvg(const RoomPlan& room, bool metric, int lineVolts, const CoverageMap* coverage = nullptr,
                    const std::string& project = "");

// The colour classes of a coverage map: bands of whole decibels over the
// room's own range of levels (2 or 5 dB when the range is wide), each
// coloured by where it lies against the target band: blues below target -
// deviation, greens within it, reds above it, darker the farther out. A
// room wholly outside the band, or planned at +-0, still shows its spread.
//   For(85.1, 90.2, 90, 0): bands 85 to 91 dB, 85.1 in class 0 (blue),
//   90.2 in class 5 (red)
struct CoverageClasses {
  double low = 0;   // dB, the lower edge of the lowest band
  double step = 1;  // dB per band
  int bands = 1;
  double target = 0, deviation = 0;
  static CoverageClasses For(double min, double max, double target, double deviation);
  int ClassOf(double spl) const;  // 0 to bands - 1
  std::string Colour(int cls) const;
};

// The comment that marks a plan as hxplan's own, for the project `project`
// (the project file's name, or empty for the command line): only a file that
// holds it is ever replaced.
std::string PlanMark(const std::string& project);

// A file name for a room, unique among `used` (which it joins) without
// regard to case, since Windows and macOS take "Hall" and "HALL" for one
// file: letters, digits, '-', '_' and '.' kept, anything else '_'; a name
// that would start with '-' or '.' (an option, a hidden file) gets a '_'
// before it, and a name Windows keeps for a device (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, with any extension) a '_' after its first part.
//   "Hall 1/2" -> "Hall_1_2", then "HALL 1/2" -> "HALL_1_2-2"
//   "con" -> "con_", "lpt1.x" -> "lpt1_.x", ".plan" -> "_.plan"
std::string FileNameFor(const std::string& roomName, std::set<std::string>& used);

// Loudspeaker positions as CSV for CAD: the header, then each room's rows:
// room, zone, model, number (from the first, lower left, along the length
// first), x from the wall along the length, y from the wall along the width.
std::string PositionsCsvHeader(bool metric);
// False, with nothing added, for a room with too many loudspeakers to list.
bool AddPositions(const RoomPlan& room, bool metric, std::string& csv);

}  // namespace halvex::plan

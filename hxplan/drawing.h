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
// machine, so the same room always gives the same bytes.
std::string RoomSvg(const RoomPlan& room, bool metric, int lineVolts, const CoverageMap* coverage = nullptr);

// The colour classes of a coverage map: below target - deviation, 1 dB
// bands from there to target + deviation, above it. Light inside the
// allowed range, dark outside it.
struct CoverageClasses {
  double low = 0;                 // target - deviation
  int bands = 0;                  // 2 x deviation
  int ClassOf(double spl) const;  // 0 below, 1..bands within, bands + 1 above
  std::string Colour(int cls) const;
};

// A file name for a room, unique among `used` (which it joins): letters,
// digits, '-', '_' and '.' kept, anything else '_'.
//   "Hall 1/2" -> "Hall_1_2", then "Hall_1_2-2"
std::string FileNameFor(const std::string& roomName, std::set<std::string>& used);

// Every loudspeaker of the rooms: room, zone, model, number (from the first,
// lower left, along the length first), x from the wall along the length, y
// from the wall along the width. Rooms with too many loudspeakers to list
// are left out and named in `skipped`.
std::string PositionsCsv(const std::vector<RoomPlan>& rooms, bool metric, std::vector<std::string>& skipped);

}  // namespace halvex::plan

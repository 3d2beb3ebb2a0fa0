// A whole building's plan: the rows that could not be planned, and the
// totals per model and per zone that size the amplifiers, added up room by
// room as the rooms are planned.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "hxplan/line_loss.h"
#include "hxplan/room_plan.h"

namespace halvex::plan {

struct RowError {
  int line = 0;
  std::string reason;
};

struct ModelTotal {
  bool cone = false;  // a row of the cone catalogue
  int modelIndex = 0;
  long double loudspeakers = 0;
  std::string_view name;  // as the catalogue or the library holds it
  bool library = false;   // a model of the user's library
};

struct ZoneTotal {
  std::string zone;
  int rooms = 0;
  long double loudspeakers = 0;
  long double withoutTap = 0;  // loudspeakers whose power no tap fits
  long double tapSum = 0;      // W
  long double amplifier = 0;   // W: the taps loaded to 80 %
  long double impedance = 0;   // ohms at the line voltage; infinite without load
  // The line: the longest run and the thinnest cable of the rooms that give
  // them; rooms without are left out of the check.
  long double run = 0;  // ft
  int cable = -1;       // -1 when no room gives a cable
  int roomsWithoutCable = 0;
  LineLoss loss;  // when a cable is given
};

struct ProjectTotals {
  std::vector<ModelTotal> models;  // catalogue order then the library's, planar first, used models only
  std::vector<ZoneTotal> zones;    // in order of first appearance
  long double loudspeakers = 0;
  long double tapSum = 0;
};

inline constexpr long double kAmplifierLoading = 0.8L;

// 70.7 V for a 70 V line, 100 V for a 100 V line.
long double LineVoltage(int lineVolts);

// Only the totals are kept, never the rooms: memory grows with the models
// and zones, not with the rows.
class TotalsBuilder {
 public:
  void Add(const RoomPlan& room);
  ProjectTotals Finish(int lineVolts) const;
  long rooms() const { return rooms_; }

 private:
  long rooms_ = 0;
  // By index, built-in rows first; a row is used once its count is set.
  std::vector<ModelTotal> planar_, cone_;
  std::vector<ZoneTotal> zones_;
  std::unordered_map<std::string, std::size_t> zoneIndex_;
  long double loudspeakers_ = 0;
};

}  // namespace halvex::plan

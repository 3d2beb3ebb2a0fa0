// A whole building's plan: every room of a job, the rows that could not be
// planned, and the totals per model and per zone that size the amplifiers.
#pragma once

#include <string>
#include <vector>

#include "hxplan/room_plan.h"

namespace halvex::plan {

struct RowError {
  int line = 0;
  std::string reason;
};

struct Project {
  std::vector<RoomPlan> rooms;
  std::vector<RowError> errors;  // rows that were not planned
};

struct ModelTotal {
  bool cone = false;  // a row of the cone catalogue
  int modelIndex = 0;
  long double loudspeakers = 0;
};

struct ZoneTotal {
  std::string zone;
  int rooms = 0;
  long double loudspeakers = 0;
  long double withoutTap = 0;  // loudspeakers whose power no tap fits
  long double tapSum = 0;      // W
  long double amplifier = 0;   // W: the taps loaded to 80 %
  long double impedance = 0;   // ohms at the line voltage; infinite without load
};

struct ProjectTotals {
  std::vector<ModelTotal> models;  // catalogue order, planar first, used models only
  std::vector<ZoneTotal> zones;    // in order of first appearance
  long double loudspeakers = 0;
  long double tapSum = 0;
};

inline constexpr long double kAmplifierLoading = 0.8L;

// 70.7 V for a 70 V line, 100 V for a 100 V line.
long double LineVoltage(int lineVolts);

ProjectTotals ComputeTotals(const Project& project, int lineVolts);

}  // namespace halvex::plan

// The reports of a planned project, as text for people and as JSON for
// programs. Both are written from one model, so they never disagree.
#pragma once

#include <string>
#include <vector>

#include "hxplan/project.h"

namespace halvex::plan {

struct ReportSettings {
  std::string file;  // empty for the room of the command line
  int lineVolts = 70;
  bool metric = false;
  bool coverage = false;  // the rooms carry their coverage figures
};

// One room with the figures both reports show, worked out once.
struct RoomReport {
  const RoomPlan* room = nullptr;
  std::string model;     // the name without its padding
  long double area = 0;  // ft²
  bool powerExceeded = false;
  bool tapExceeded = false;
  bool noTap = false;
};

struct ProjectReport {
  ReportSettings settings;
  std::vector<RoomReport> rooms;
  std::vector<RowError> errors;
  ProjectTotals totals;
};

// The report refers to the project's rooms, which must outlive it.
ProjectReport MakeReport(const Project& project, const ReportSettings& settings);

std::string ReportText(const ProjectReport& report);
std::string ReportJson(const ProjectReport& report);

}  // namespace halvex::plan

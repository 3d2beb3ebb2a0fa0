// The reports of a planned project, as text for people and as JSON for
// programs. Both are written room by room as the rooms are planned, from one
// description of each room, so they never disagree and never hold the
// project whole.
#pragma once

#include <string>
#include <vector>

#include "hxplan/output.h"
#include "hxplan/project.h"

namespace halvex::plan {

struct ReportSettings {
  std::string file;  // empty for the room of the command line
  int lineVolts = 70;
  bool metric = false;
  bool coverage = false;  // the rooms carry their coverage figures
  bool json = false;
};

// A room's line of the text report, and an impedance as it shows one.
std::string RoomText(const RoomPlan& room, bool metric);
std::string OhmsFigure(long double ohms);

// A zone's line in words and as JSON:
//   "line 250 ft of 16AWG, loss .62 dB (13.3 % of the power) over .5 dB: at most 201 ft of 16AWG, or 14AWG"
std::string LineText(const ZoneTotal& zone, bool metric);
std::string LineJson(const ZoneTotal& zone, bool metric);

class ProjectReport {
 public:
  ProjectReport(const ReportSettings& settings, TextSink& out);
  // The head of the report, then each room and each row not planned as they
  // come, then the totals.
  void Begin();
  void Room(const RoomPlan& room);
  void Error(const RowError& error);
  void End();
  // The project's revision, which the rows give: shown with the totals.
  void SetRevision(const std::string& revision) { revision_ = revision; }
  long CoverageFailures() const { return coverageFailures_; }

 private:
  ReportSettings settings_;
  TextSink& out_;
  TotalsBuilder totals_;
  long errorCount_ = 0;
  long coverageFailures_ = 0;
  // JSON lists the rows not planned after the rooms; text has them on
  // stderr already and only counts them.
  std::vector<RowError> errors_;
  std::string line_;  // one room's text, its memory kept from room to room
  std::string revision_;
};

}  // namespace halvex::plan

// The printable report of a project: one self-contained HTML file (no
// external files, scripts or fonts) with a title block, the bill of
// materials, the zones with their line loss, and one page per room with its
// figures and its plan drawn inline. Print styles keep each room on a page
// of its own, A4 or Letter, with no table or plan cut across pages.
#pragma once

#include <string>

#include "hxplan/project.h"

namespace halvex::plan {

struct HtmlSettings {
  std::string file;     // the project file's name
  std::string options;  // the plan's own options, as words
  int lineVolts = 70;
  bool metric = false;
  std::string revision;  // the project's, or empty
};

class HtmlReport {
 public:
  explicit HtmlReport(const HtmlSettings& settings) : settings_(settings) {}
  // A planned room and its drawing (an SVG document).
  void Room(const RoomPlan& room, const std::string& svg);
  // The project's revision, known once every row is read; empty for none.
  void SetRevision(const std::string& revision) { settings_.revision = revision; }
  // The whole document.
  std::string Finish() const;

 private:
  HtmlSettings settings_;
  TotalsBuilder totals_;
  std::string rooms_;  // the rooms' sections, in the order planned
};

// Text for HTML: & < > " escaped.
std::string Html(const std::string& text);

}  // namespace halvex::plan

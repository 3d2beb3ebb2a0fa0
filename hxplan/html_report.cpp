#include "hxplan/html_report.h"

#include "hxplan/project_report.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

// Print first: a page per room, nothing cut across a page, sizes that fit
// both A4 (210 x 297 mm) and Letter (216 x 279 mm) inside their margins.
constexpr const char* kStyle = R"(
@page { margin: 12mm; }
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 10pt; color: black; margin: 0; }
h1 { font-size: 16pt; margin: 0 0 4mm 0; }
h2 { font-size: 12pt; margin: 0 0 3mm 0; }
table { border-collapse: collapse; margin-bottom: 5mm; break-inside: avoid; }
th, td { border: 0.3mm solid #888; padding: 1mm 2mm; text-align: left; vertical-align: top; }
td.n { text-align: right; }
table.zones { width: 100%; }
table.zones td:first-child { min-width: 28mm; }
table.zones td.line { min-width: 60mm; }
.over { font-weight: bold; color: #b00000; }
section { break-inside: avoid; }
section.room { break-before: page; }
.plan svg { display: block; width: 100%; height: auto; max-height: 190mm; break-inside: avoid; }
@media screen { body { max-width: 190mm; margin: 10mm auto; } }
)";

std::string Cell(const std::string& text, bool number = false) {
  return std::string(number ? "<td class=\"n\">" : "<td>") + Html(text) + "</td>";
}

// The drawing without its XML declaration and comment, to sit in the page.
std::string InlineSvg(const std::string& svg) {
  const std::size_t start = svg.find("<svg");
  return start == std::string::npos ? std::string() : svg.substr(start);
}

}  // namespace

std::string Html(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

void HtmlReport::Room(const RoomPlan& room, const std::string& svg) {
  totals_.Add(room);
  std::string& out = rooms_;
  out += "<section class=\"room\">\n<h2>" + Html(room.name) +
         (room.zone != room.name ? " <small>(zone " + Html(room.zone) + ")</small>" : std::string()) + "</h2>\n";
  // The room's line without the name and zone the heading just gave.
  std::string figures = RoomText(room, settings_.metric);
  const std::string named = Printable(room.name) + (room.zone != room.name ? " [" + Printable(room.zone) + "]" : "") + ": ";
  if (figures.compare(0, named.size(), named) == 0) figures.erase(0, named.size());
  out += "<p>" + Html(figures) + "</p>\n";
  if (room.coverage.computed || !room.coverage.reason.empty()) {
    out += "<p>Coverage " + Html(CoverageText(room.coverage, room.inputs)) + "</p>\n";
  }
  out += "<div class=\"plan\">" + InlineSvg(svg) + "</div>\n</section>\n";
}

std::string HtmlReport::Finish() const {
  const ProjectTotals totals = totals_.Finish(settings_.lineVolts);
  const bool metric = settings_.metric;
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + Html(settings_.file) +
      (settings_.revision.empty() ? "" : ", revision " + Html(settings_.revision)) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n<section class=\"summary\">\n<h1>" +
      Html(settings_.file) + "</h1>\n<table>\n";
  if (!settings_.revision.empty()) out += "<tr><th>Revision</th>" + Cell(settings_.revision) + "</tr>\n";
  out += "<tr><th>Options</th>" + Cell(settings_.options) + "</tr>\n";
  out += "<tr><th>Rooms</th>" + Cell(std::to_string(totals_.rooms())) + "</tr>\n";
  out += "<tr><th>Loudspeakers</th>" + Cell(Bare(totals.loudspeakers)) + "</tr>\n</table>\n";
  out += "<h2>Bill of materials</h2>\n<table>\n<tr><th>Model</th><th>Kind</th><th>Loudspeakers</th></tr>\n";
  for (const ModelTotal& model : totals.models) {
    out += "<tr>" + Cell(TrimmedName(model.name) + (model.library ? " (library)" : "")) +
           Cell(model.cone ? "cone" : "planar") + Cell(Bare(model.loudspeakers), true) + "</tr>\n";
  }
  out += "</table>\n<h2>Zones</h2>\n<table class=\"zones\">\n<tr><th>Zone</th><th>Rooms</th><th>Loudspeakers</th><th>Taps W</th>"
         "<th>Amplifier W</th><th>Load ohms</th><th>Line</th></tr>\n";
  for (const ZoneTotal& zone : totals.zones) {
    out += "<tr>" + Cell(zone.zone) + Cell(std::to_string(zone.rooms), true) + Cell(Bare(zone.loudspeakers), true) +
           Cell(Bare(zone.tapSum), true) + Cell(Bare(zone.amplifier), true) +
           Cell(zone.tapSum > 0 ? OhmsFigure(zone.impedance) : "none", true) +
           (zone.cable >= 0 && zone.loss.over ? "<td class=\"line over\">" : "<td class=\"line\">") + Html(LineText(zone, metric)) +
           "</td></tr>\n";
  }
  out += "</table>\n</section>\n" + rooms_ + "</body>\n</html>\n";
  return out;
}

}  // namespace halvex::plan

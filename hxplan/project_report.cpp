#include "hxplan/project_report.h"

#include <algorithm>
#include <cmath>

#include "calc/result_texts.h"
#include "common/number_text.h"
#include "hxplan/cone_plan.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

// Impedances to 4 digits: ohms are read off a meter, not calculated to 7.
std::string OhmsText(long double ohms) { return FormatNumber(ohms, 4, false); }

// A line loss to 0.01 dB and its share of the power to 0.1 %.
std::string LossDbText(long double db) { return Bare(std::round(db * 100) / 100); }
std::string LossShareText(long double percent) { return Bare(std::round(percent * 10) / 10); }

// The longest run within the limit, rounded down so that it stays within:
// whole feet, or metres to 0.1.
std::string MaxRunText(long double feet, bool metric) {
  if (metric) return Bare(std::floor(feet * kMetresPerFoot * 10) / 10);
  return Bare(std::floor(feet));
}

std::string Loudspeakers(long double count) { return Bare(count) + (count == 1 ? " loudspeaker" : " loudspeakers"); }

// The figures of one room both reports show, worked out once.
struct RoomReport {
  const RoomPlan* room = nullptr;
  std::string model;     // the name without its padding
  long double area = 0;  // ft²
  bool powerExceeded = false;
  bool tapExceeded = false;
  bool noTap = false;
  bool coverageFails = false;
};

RoomReport ReportOf(const RoomPlan& room) {
  RoomReport row;
  row.room = &room;
  row.area = static_cast<long double>(room.inputs.roomLength) * room.inputs.roomWidth;
  row.coverageFails = CoverageFails(room.coverage, room.inputs);
  if (room.cone) {
    row.model = room.coneModel.name;
    row.tapExceeded = room.coneLayout.tapExceeded;
    return row;
  }
  const LoudspeakerModel& model = room.model;
  row.model = TrimmedName(model.name);
  row.powerExceeded = PowerExceeded(room.result, model);
  row.tapExceeded = TapExceeded(room.result, model);
  row.noTap = room.result.tap == 0;
  return row;
}

std::string LimitWords(const RoomReport& room) {
  std::string words;
  auto add = [&words](const std::string& word) { words += (words.empty() ? "" : " and ") + word; };
  if (room.powerExceeded) add("power over the model's maximum");
  if (room.tapExceeded) {
    add(room.room->cone ? "more power than the highest tap" : "tap above the model's highest tap");
  }
  if (room.noTap) add("no tap fits");
  if (room.coverageFails) add("coverage fails");
  return words.empty() ? "within limits" : words;
}

// A spacing as the window shows it: only while more than one loudspeaker
// stands in that direction.
std::string SpacingText(float count, float spacing, bool metric) {
  return MoreThanOne(count) ? DimensionText(spacing, metric) : "-";
}

// A catalogue name padded as the planar names are, so that the counts align.
std::string PaddedName(const ModelTotal& model) {
  std::string name = TrimmedName(model.name);
  name.resize(std::max<std::size_t>(name.size(), kNameLength), ' ');
  return name;
}

std::string ModelName(const ModelTotal& model) { return TrimmedName(model.name); }

std::string ConeRoomLine(const RoomReport& report, bool metric) {
  const RoomPlan& room = *report.room;
  const cone::ConeLayout& l = room.coneLayout;
  const cone::ConeInputs& in = room.coneInputs;
  const std::string unit = LengthUnit(metric);
  auto length = [metric](double feet) { return ConeLengthText(feet, metric); };
  std::string out = Printable(room.name);
  if (room.zone != room.name) out += " [" + Printable(room.zone) + "]";
  out += ": " + LengthText(in.roomLength, metric) + " x " + LengthText(in.roomWidth, metric) + " " + unit + ", " +
         AreaText(report.area, metric) + " " + AreaUnit(metric) + ", " + Bare(l.countX) + " x " + Bare(l.rows) + " = " +
         Bare(l.total) + " " + report.model + " cone (" + PatternName(in.pattern) + ", " + GridName(in.grid) +
         (in.headroom != 0 ? ", headroom " + std::to_string(in.headroom) + " dB" : std::string()) + "), spacing " +
         length(l.spacingX) + " x " + length(l.spacingY) + " " + unit + ", first " + length(l.spacingX / 2) + " x " +
         length(l.spacingY / 2) + " " + unit + " from the walls, " + Bare(l.powerShown) + " W each, tap " +
         Bare(l.tap) + " W, " + LimitWords(report) + "\n";
  return out;
}

std::string RoomLine(const RoomReport& report, bool metric) {
  if (report.room->cone) return ConeRoomLine(report, metric);
  const RoomPlan& room = *report.room;
  const LayoutResult& r = room.result;
  const RoomInputs& in = room.inputs;
  const std::string unit = LengthUnit(metric);
  // One line per room, whatever bytes its name holds.
  std::string out = Printable(room.name);
  if (room.zone != room.name) out += " [" + Printable(room.zone) + "]";
  out += ": " + LengthText(in.roomLength, metric) + " x " + LengthText(in.roomWidth, metric) + " " + unit + ", " +
         AreaText(report.area, metric) + " " + AreaUnit(metric) + ", " + Bare(r.countX) + " x " + Bare(r.countY) +
         " = " + Bare(r.totalCount) + " " + report.model + ", spacing " + SpacingText(r.countX, r.spacingX, metric) +
         " x " + SpacingText(r.countY, r.spacingY, metric) + " " + unit + ", first " +
         DimensionText(static_cast<long double>(r.spacingX) / 2, metric) + " x " +
         DimensionText(static_cast<long double>(r.spacingY) / 2, metric) + " " + unit + " from the walls, " +
         Bare(r.powerRequired) + " W each, tap " + Bare(r.tap) + " W, " + LimitWords(report) + "\n";
  return out;
}

}  // namespace

std::string RoomText(const RoomPlan& room, bool metric) { return RoomLine(ReportOf(room), metric); }

std::string OhmsFigure(long double ohms) { return OhmsText(ohms); }

std::string LineText(const ZoneTotal& zone, bool metric) {
  const std::string unit = LengthUnit(metric);
  if (zone.cable < 0) return "line not checked (no run and cable)";
  const LineLoss& loss = zone.loss;
  const std::string cable(kCables[static_cast<std::size_t>(zone.cable)].name);
  std::string out = "line " + LengthText(zone.run, metric) + " " + unit + " of " + cable + ", loss " +
                    LossDbText(loss.lossDb) + " dB (" + LossShareText(loss.powerLost) + " % of the power)";
  if (loss.over) {
    out += " over " + Bare(kMaxLineLoss) + " dB: at most " + MaxRunText(loss.maxRunFeet, metric) + " " + unit +
           " of " + cable + ", or " +
           (loss.largerCable >= 0 ? std::string(kCables[static_cast<std::size_t>(loss.largerCable)].name)
                                  : std::string("no cable of the table") + " at this run");
  } else if (std::isfinite(loss.maxRunFeet)) {
    out += ", within " + Bare(kMaxLineLoss) + " dB up to " + MaxRunText(loss.maxRunFeet, metric) + " " + unit;
  }
  if (zone.roomsWithoutCable > 0) {
    out += " (" + std::to_string(zone.roomsWithoutCable) +
           (zone.roomsWithoutCable == 1 ? " room" : " rooms") + " without run and cable left out)";
  }
  return out;
}

std::string LineJson(const ZoneTotal& zone, bool metric) {
  if (zone.cable < 0) return "null";
  const LineLoss& loss = zone.loss;
  return "{\"run\": " + JsonNumber(LengthText(zone.run, metric)) + ", \"cable\": " +
         Quote(std::string(kCables[static_cast<std::size_t>(zone.cable)].name)) +
         ", \"loopResistance\": " + JsonNumber(OhmsText(loss.loopOhms)) +
         ", \"lossDb\": " + JsonNumber(LossDbText(loss.lossDb)) +
         ", \"powerLost\": " + JsonNumber(LossShareText(loss.powerLost)) + ", \"over\": " + JsonFlag(loss.over) +
         ", \"maxRun\": " +
         (std::isfinite(loss.maxRunFeet) ? JsonNumber(MaxRunText(loss.maxRunFeet, metric)) : std::string("null")) +
         ", \"largerCable\": " +
         (loss.largerCable >= 0 ? Quote(std::string(kCables[static_cast<std::size_t>(loss.largerCable)].name))
                                : std::string("null")) +
         ", \"roomsLeftOut\": " + std::to_string(zone.roomsWithoutCable) + "}";
}

ProjectReport::ProjectReport(const ReportSettings& settings, TextSink& out) : settings_(settings), out_(out) {}

void ProjectReport::Begin() {
  const ReportSettings& settings = settings_;
  const bool metric = settings.metric;
  std::string out;
  if (settings.json) {
    out = "{\n  \"file\": " + (settings.file.empty() ? "null" : Quote(settings.file)) + ",\n";
    out += "  \"units\": " + Quote(LengthUnit(metric)) + ",\n";
    out += "  \"lineVoltage\": " + JsonNumber(LineVoltage(settings.lineVolts)) + ",\n";
    out += "  \"rooms\": [";
    out_.Write(out);
    return;
  }
  out = "Project           " + (settings.file.empty() ? "command line" : Printable(settings.file)) + "\n";
  out += "Line              " + std::to_string(settings.lineVolts) + " V (" + Bare(LineVoltage(settings.lineVolts)) +
         " V); amplifier = sum of taps / " + Bare(kAmplifierLoading) + ", load = V² / sum of taps\n";
  if (metric) {
    out += "Units             metres and m², converted to feet for the calculation (1 ft = " + Bare(kMetresPerFoot) +
           " m)\n";
  } else {
    out += "Units             feet and ft²\n";
  }
  out += "\n";
  out_.Write(out);
}

void ProjectReport::Error(const RowError& error) {
  ++errorCount_;
  if (settings_.json) errors_.push_back(error);
}

void ProjectReport::Room(const RoomPlan& room) {
  const ReportSettings& settings = settings_;
  const bool metric = settings.metric;
  const RoomReport row = ReportOf(room);
  if (row.coverageFails) ++coverageFailures_;
  const bool first = totals_.rooms() == 0;
  totals_.Add(room);
  std::string& out = line_;
  out.clear();
  if (!settings.json) {
    out += RoomLine(row, metric);
    if (settings.coverage) out += "    coverage " + CoverageText(room.coverage, room.inputs) + "\n";
    if (!room.drawing.empty()) out += "    drawing " + Printable(room.drawing) + "\n";
    out_.Write(out);
    return;
  }
  auto length = [metric](long double feet) { return JsonNumber(LengthText(feet, metric)); };
  auto position = [metric](long double feet) { return JsonNumber(DimensionText(feet, metric)); };
  const RoomInputs& in = room.inputs;
  const LayoutResult& r = room.result;
  auto spacing = [&](float count, float value) { return MoreThanOne(count) ? position(value) : "null"; };
  out += first ? "\n" : ",\n";
  if (room.cone) {
    const cone::ConeLayout& l = room.coneLayout;
    const cone::ConeInputs& c = room.coneInputs;
    auto tenth = [metric](double feet) { return JsonNumber(ConeLengthText(feet, metric)); };
    out += "    {\"line\": " + std::to_string(room.line) + ", \"room\": " + Quote(room.name) +
           ", \"zone\": " + Quote(room.zone) + ", \"model\": " + Quote(row.model) +
           ", \"length\": " + length(in.roomLength) + ", \"width\": " + length(in.roomWidth) +
           ", \"area\": " + JsonNumber(AreaText(row.area, metric)) + ", \"earLevel\": " + length(in.earLevel) +
           ", \"ceiling\": " + length(in.ceilingHeight) + ", \"spl\": " + JsonNumber(in.targetSpl) +
           ", \"deviation\": " + JsonNumber(in.splDeviation) + ", \"countX\": " + JsonNumber(l.countX) +
           ", \"countY\": " + JsonNumber(l.rows) + ", \"totalCount\": " + JsonNumber(l.total) +
           ", \"spacingX\": " + tenth(l.spacingX) + ", \"spacingY\": " + tenth(l.spacingY) +
           ", \"firstX\": " + tenth(l.spacingX / 2) + ", \"firstY\": " + tenth(l.spacingY / 2) +
           ", \"nominalSpacing\": " + tenth(l.spacing) + ", \"powerRequired\": " + JsonNumber(l.powerShown) +
           ", \"tap\": " + JsonNumber(l.tap) +
           ", \"powerExceeded\": false, \"tapExceeded\": " + JsonFlag(l.tapExceeded) +
           ", \"noTap\": false, \"kind\": \"cone\", \"pattern\": " + Quote(PatternName(c.pattern)) +
           ", \"grid\": " + Quote(GridName(c.grid)) + ", \"headroom\": " + std::to_string(c.headroom) +
           ", \"radius\": " + tenth(l.radius) + ", \"load\": " + JsonNumber(l.load) +
           ", \"amplifier\": " + JsonNumber(l.amplifier);
  } else {
    out += "    {\"line\": " + std::to_string(room.line) + ", \"room\": " + Quote(room.name) +
           ", \"zone\": " + Quote(room.zone) + ", \"model\": " + Quote(row.model) +
           ", \"length\": " + length(in.roomLength) + ", \"width\": " + length(in.roomWidth) +
           ", \"area\": " + JsonNumber(AreaText(row.area, metric)) + ", \"earLevel\": " + length(in.earLevel) +
           ", \"ceiling\": " + length(in.ceilingHeight) + ", \"spl\": " + JsonNumber(in.targetSpl) +
           ", \"deviation\": " + JsonNumber(in.splDeviation) + ", \"countX\": " + JsonNumber(r.countX) +
           ", \"countY\": " + JsonNumber(r.countY) + ", \"totalCount\": " + JsonNumber(r.totalCount) +
           ", \"spacingX\": " + spacing(r.countX, r.spacingX) + ", \"spacingY\": " + spacing(r.countY, r.spacingY) +
           ", \"firstX\": " + position(static_cast<long double>(r.spacingX) / 2) +
           ", \"firstY\": " + position(static_cast<long double>(r.spacingY) / 2) +
           ", \"nominalSpacing\": " + length(r.nominalSpacing) +
           ", \"powerRequired\": " + JsonNumber(r.powerRequired) + ", \"tap\": " + JsonNumber(r.tap) +
           ", \"powerExceeded\": " + JsonFlag(row.powerExceeded) + ", \"tapExceeded\": " + JsonFlag(row.tapExceeded) +
           ", \"noTap\": " + JsonFlag(row.noTap) + ", \"kind\": \"planar\"";
  }
  if (settings.coverage) {
    const CoverageSummary& c = room.coverage;
    if (c.computed) {
      out += ", \"coverage\": {\"min\": " + JsonNumber(DecibelText(c.min)) +
             ", \"max\": " + JsonNumber(DecibelText(c.max)) + ", \"share\": " + JsonNumber(PercentText(c.share)) +
             ", \"fails\": " + JsonFlag(row.coverageFails) + "}";
    } else {
      out += ", \"coverage\": {\"reason\": " + Quote(c.reason) + "}";
    }
  }
  if (!room.drawing.empty()) out += ", \"drawing\": " + Quote(room.drawing);
  out += "}";
  out_.Write(out);
}

void ProjectReport::End() {
  const ProjectTotals totals = totals_.Finish(settings_.lineVolts);
  const long rooms = totals_.rooms();
  std::string out;
  if (!settings_.json) {
    out += "\nLoudspeakers per model\n";
    for (const ModelTotal& model : totals.models) {
      out += "  " + PaddedName(model) + " " + Bare(model.loudspeakers) + "\n";
    }
    out += "\nZones\n";
    const bool lineChecked = std::any_of(totals.zones.begin(), totals.zones.end(),
                                         [](const ZoneTotal& zone) { return zone.cable >= 0; });
    for (const ZoneTotal& zone : totals.zones) {
      out += "  " + Printable(zone.zone) + ": " + std::to_string(zone.rooms) +
             (zone.rooms == 1 ? " room, " : " rooms, ") + Loudspeakers(zone.loudspeakers) + ", taps " +
             Bare(zone.tapSum) + " W, amplifier " + Bare(zone.amplifier) + " W, load " +
             (zone.tapSum > 0 ? OhmsText(zone.impedance) + " ohms" : std::string("none"));
      if (zone.withoutTap > 0) out += ", " + Loudspeakers(zone.withoutTap) + " without a tap";
      if (lineChecked) out += ", " + LineText(zone, settings_.metric);
      out += "\n";
    }
    out += "\n";
    if (!revision_.empty()) out += "Revision          " + Printable(revision_) + "\n";
    out += "Rooms             " + std::to_string(rooms) + " planned";
    if (errorCount_ > 0) out += ", " + std::to_string(errorCount_) + " not (see the messages)";
    if (coverageFailures_ > 0) out += ", coverage fails in " + std::to_string(coverageFailures_);
    out += "\nTotal             " + Loudspeakers(totals.loudspeakers) + ", taps " + Bare(totals.tapSum) + " W\n";
    out_.Write(out);
    return;
  }
  out += rooms == 0 ? "],\n  \"models\": [" : "\n  ],\n  \"models\": [";
  const char* separator = "\n";
  for (const ModelTotal& model : totals.models) {
    out += separator;
    out += "    {\"model\": " + Quote(ModelName(model)) + ", \"loudspeakers\": " + JsonNumber(model.loudspeakers) + "}";
    separator = ",\n";
  }
  out += "\n  ],\n  \"zones\": [";
  separator = "\n";
  for (const ZoneTotal& zone : totals.zones) {
    out += separator;
    out += "    {\"zone\": " + Quote(zone.zone) + ", \"rooms\": " + std::to_string(zone.rooms) +
           ", \"loudspeakers\": " + JsonNumber(zone.loudspeakers) + ", \"withoutTap\": " + JsonNumber(zone.withoutTap) +
           ", \"tapSum\": " + JsonNumber(zone.tapSum) + ", \"amplifier\": " + JsonNumber(zone.amplifier) +
           ", \"impedance\": " + (zone.tapSum > 0 ? JsonNumber(OhmsText(zone.impedance)) : std::string("null")) +
           ", \"line\": " + LineJson(zone, settings_.metric) + "}";
    separator = ",\n";
  }
  out += "\n  ],\n  \"revision\": " + (revision_.empty() ? std::string("null") : Quote(revision_)) +
         ",\n  \"loudspeakers\": " + JsonNumber(totals.loudspeakers) +
         ",\n  \"tapSum\": " + JsonNumber(totals.tapSum) +
         ",\n  \"coverageFailures\": " + std::to_string(coverageFailures_) + ",\n  \"errors\": [";
  separator = "\n";
  for (const RowError& e : errors_) {
    out += separator;
    out += "    {\"line\": " + std::to_string(e.line) + ", \"reason\": " + Quote(e.reason) + "}";
    separator = ",\n";
  }
  out += "\n  ]\n}\n";
  out_.Write(out);
}

}  // namespace halvex::plan

#include "hxplan/project.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <unordered_map>

#include "calc/result_texts.h"
#include "common/number_text.h"
#include "hxplan/drawing.h"
#include "hxplan/file_system.h"

namespace halvex::plan {

namespace {

enum Column { kRoom, kLength, kWidth, kEarLevel, kCeiling, kSpl, kDeviation, kModel, kZone, kColumnCount };
constexpr std::array<std::string_view, kColumnCount> kColumnNames{"room", "length",    "width", "ear_level", "ceiling",
                                                                  "spl",  "deviation", "model", "zone"};
constexpr int kRequiredColumns = kDeviation;  // the columns before deviation must be there

std::string_view Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A JSON number from a formatted one: JSON wants a 0 before the point.
std::string JsonNumber(const std::string& text) {
  if (!text.empty() && text[0] == '.') return "0" + text;
  if (text.size() > 1 && text[0] == '-' && text[1] == '.') return "-0" + text.substr(1);
  return text;
}

std::string JsonNumber(long double value) { return JsonNumber(Bare(value)); }

// Impedances to 4 digits: ohms are read off a meter, not calculated to 7.
std::string OhmsText(long double ohms) { return FormatNumber(ohms, 4, false); }

std::string ModelName(int modelIndex) { return TrimmedName(ModelRow(modelIndex).name); }

std::string Loudspeakers(long double count) { return Bare(count) + (count == 1 ? " loudspeaker" : " loudspeakers"); }

bool ReadRoom(const CsvRecord& record, const std::array<int, kColumnCount>& columns, std::size_t headerSize,
              const Options& options, RoomPlan& room, std::string& reason) {
  const std::vector<std::string>& fields = record.fields;
  if (fields.size() > headerSize) {
    reason = std::to_string(fields.size()) + " fields but " + std::to_string(headerSize) +
             " columns (a number with a comma must be quoted)";
    return false;
  }
  auto cell = [&](int column) -> std::string_view {
    const int index = columns[column];
    return index < 0 || static_cast<std::size_t>(index) >= fields.size() ? std::string_view() : Trimmed(fields[index]);
  };
  for (int column = 0; column < kRequiredColumns; ++column) {
    if (static_cast<std::size_t>(columns[column]) >= fields.size()) {
      reason = "missing column '" + std::string(kColumnNames[column]) + "'";
      return false;
    }
    if (cell(column).empty()) {
      reason = "no value in column '" + std::string(kColumnNames[column]) + "'";
      return false;
    }
    if (column != kRoom && !IsNumberText(cell(column))) {
      reason =
          "'" + Printable(cell(column)) + "' in column '" + std::string(kColumnNames[column]) + "' is not a number";
      return false;
    }
  }
  room.line = record.line;
  room.name = std::string(cell(kRoom));
  room.zone = cell(kZone).empty() ? room.name : std::string(cell(kZone));
  RoomInputs& inputs = room.inputs;
  inputs.roomLength = LengthInFeet(cell(kLength), options.metric);
  inputs.roomWidth = LengthInFeet(cell(kWidth), options.metric);
  inputs.earLevel = LengthInFeet(cell(kEarLevel), options.metric);
  inputs.ceilingHeight = LengthInFeet(cell(kCeiling), options.metric);
  inputs.targetSpl = static_cast<float>(std::fabs(ParseNumber(cell(kSpl))));

  int deviation = options.deviation;
  if (!cell(kDeviation).empty() && !ParseDeviation(std::string(cell(kDeviation)), deviation)) {
    reason = "deviation '" + Printable(cell(kDeviation)) + "' is not a whole number from 0 to 6";
    return false;
  }
  inputs.splDeviation = static_cast<float>(deviation);
  inputs.modelIndex = options.modelIndex;
  if (!cell(kModel).empty() && !ParseModel(std::string(cell(kModel)), inputs.modelIndex)) {
    reason = "unknown model '" + Printable(cell(kModel)) + "'";
    return false;
  }
  if (!ComputeLayoutFor(inputs, room.result)) {
    reason = "ceiling " + std::string(cell(kCeiling)) + " is not above the ear level " + std::string(cell(kEarLevel));
    return false;
  }
  return true;
}

std::string LimitWords(const RoomPlan& room) {
  const LoudspeakerModel& model = ModelRow(room.inputs.modelIndex);
  std::string words;
  auto add = [&words](const char* word) { words += (words.empty() ? "" : " and ") + std::string(word); };
  if (PowerExceeded(room.result, model)) add("power over the model's maximum");
  if (TapExceeded(room.result, model)) add("tap above the model's highest tap");
  if (room.result.tap == 0) add("no tap fits");
  return words.empty() ? "within limits" : words;
}

// A spacing as the window shows it: only while more than one loudspeaker
// stands in that direction.
std::string SpacingText(float count, float spacing, bool metric) {
  return MoreThanOne(count) ? LengthText(spacing, metric) : "-";
}

std::string RoomLine(const RoomPlan& room, bool metric) {
  const LayoutResult& r = room.result;
  const RoomInputs& in = room.inputs;
  const std::string unit = LengthUnit(metric);
  // One line per room, whatever bytes its name holds.
  std::string out = Printable(room.name);
  if (room.zone != room.name) out += " [" + Printable(room.zone) + "]";
  out += ": " + LengthText(in.roomLength, metric) + " x " + LengthText(in.roomWidth, metric) + " " + unit + ", " +
         AreaText(static_cast<long double>(in.roomLength) * in.roomWidth, metric) + " " + AreaUnit(metric) + ", " +
         Bare(r.countX) + " x " + Bare(r.countY) + " = " + Bare(r.totalCount) + " " + ModelName(in.modelIndex) +
         ", spacing " + SpacingText(r.countX, r.spacingX, metric) + " x " + SpacingText(r.countY, r.spacingY, metric) +
         " " + unit + ", first " + LengthText(static_cast<long double>(r.spacingX) / 2, metric) + " x " +
         LengthText(static_cast<long double>(r.spacingY) / 2, metric) + " " + unit + " from the walls, " +
         Bare(r.powerRequired) + " W each, tap " + Bare(r.tap) + " W, " + LimitWords(room) + "\n";
  return out;
}

}  // namespace

CsvReader::CsvReader(std::string_view text) : text_(text) {
  if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
}

bool CsvReader::Next(CsvRecord& record) {
  // Short names for the reader's place in the text.
  const std::string_view text = text_;
  std::size_t& i = at_;
  int& line = line_;
  if (i >= text.size()) return false;
  record = CsvRecord{};
  record.line = line;
  std::string field;
  bool recordEnded = false;
  while (!recordEnded) {
    field.clear();
    if (i < text.size() && text[i] == '"') {
      ++i;
      bool closed = false;
      while (i < text.size()) {
        const char c = text[i++];
        if (c == '"') {
          if (i < text.size() && text[i] == '"') {
            field += '"';
            ++i;
          } else {
            closed = true;
            break;
          }
        } else {
          if (c == '\n' || (c == '\r' && (i >= text.size() || text[i] != '\n'))) ++line;
          field += c;
        }
      }
      if (!closed && record.error.empty()) record.error = "a quoted field is not closed";
      // Anything between the closing quote and the next separator is text
      // out of place; it is reported, not silently joined to the field.
      const std::size_t stop = text.find_first_of(",\r\n", i);
      const std::size_t end = stop == std::string_view::npos ? text.size() : stop;
      if (end > i && record.error.empty()) record.error = "text after a closing quote";
      i = end;
    } else {
      const std::size_t stop = text.find_first_of(",\r\n", i);
      const std::size_t end = stop == std::string_view::npos ? text.size() : stop;
      field.assign(text.substr(i, end - i));
      i = end;
    }
    record.fields.push_back(field);
    if (i < text.size() && text[i] == ',') {
      ++i;
      continue;
    }
    recordEnded = true;
    if (i < text.size()) {  // a line end
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++i;
      ++line;
    }
  }
  return true;
}

std::vector<CsvRecord> ParseCsv(std::string_view text) {
  std::vector<CsvRecord> records;
  CsvReader reader(text);
  for (CsvRecord record; reader.Next(record);) records.push_back(std::move(record));
  return records;
}

bool IsNumberText(std::string_view text) {
  text = Trimmed(text);
  std::size_t i = 0;
  if (!text.empty() && text[0] == '&') {
    if (text.size() == 1) return false;
    for (std::size_t k = 1; k < text.size(); ++k) {
      const char c = text[k];
      const bool alphanumeric = IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
      if (!alphanumeric && c != '%' && c != '&' && c != '?') return false;
    }
    return true;
  }
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false;
  while (i < text.size() && IsDigit(text[i])) digits = true, ++i;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) digits = true, ++i;
  }
  if (!digits) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
  }
  return i == text.size();
}

bool ReadProject(std::string_view text, const Options& options, Project& project, std::string& error) {
  if (text.find('\0') != std::string_view::npos) {
    error = "not a CSV text file (it holds NUL bytes)";
    return false;
  }
  // Records are taken one at a time: a project of 100,000 rooms never holds
  // its split fields all at once.
  CsvReader reader(text);
  auto blank = [](const CsvRecord& record) {
    for (const std::string& field : record.fields) {
      if (!Trimmed(field).empty()) return false;
    }
    return record.error.empty();
  };
  CsvRecord header;
  bool found = false;
  while (!found && reader.Next(header)) found = !blank(header);
  if (!found) {
    error = "empty: no header row naming the columns";
    return false;
  }
  if (!header.error.empty()) {
    error = "line " + std::to_string(header.line) + ": " + header.error;
    return false;
  }
  std::array<int, kColumnCount> columns;
  columns.fill(-1);
  for (std::size_t index = 0; index < header.fields.size(); ++index) {
    const std::string name = Lower(Trimmed(header.fields[index]));
    for (int column = 0; column < kColumnCount; ++column) {
      if (name != kColumnNames[column]) continue;
      if (columns[column] >= 0) {
        error = "line " + std::to_string(header.line) + ": column '" + name + "' named twice";
        return false;
      }
      columns[column] = static_cast<int>(index);
    }
  }
  std::string missing;
  for (int column = 0; column < kRequiredColumns; ++column) {
    if (columns[column] < 0) missing += (missing.empty() ? "" : ", ") + std::string(kColumnNames[column]);
  }
  if (!missing.empty()) {
    error = "line " + std::to_string(header.line) + " is not a header row: no column " + missing +
            " (needed: room, length, width, ear_level, ceiling, spl; optional: deviation, model, zone)";
    if (header.fields.size() == 1 && header.fields[0].find(';') != std::string::npos) {
      error += "; the columns must be separated by commas, not semicolons";
    }
    return false;
  }
  for (CsvRecord record; reader.Next(record);) {
    if (blank(record)) continue;
    if (!record.error.empty()) {
      project.errors.push_back({record.line, record.error});
      continue;
    }
    RoomPlan room;
    std::string reason;
    if (ReadRoom(record, columns, header.fields.size(), options, room, reason)) {
      project.rooms.push_back(std::move(room));
    } else {
      project.errors.push_back({record.line, reason});
    }
  }
  return true;
}

long double LineVoltage(int lineVolts) { return lineVolts == 100 ? 100.0L : 70.7L; }

ProjectTotals ComputeTotals(const Project& project, int lineVolts) {
  ProjectTotals totals;
  std::array<long double, kModelCount> perModel{};
  std::array<bool, kModelCount> used{};
  std::unordered_map<std::string, std::size_t> zoneIndex;
  for (const RoomPlan& room : project.rooms) {
    const long double count = room.result.totalCount;
    const int model = room.inputs.modelIndex;
    perModel[model] += count;
    used[model] = true;
    auto [found, added] = zoneIndex.emplace(room.zone, totals.zones.size());
    if (added) totals.zones.push_back(ZoneTotal{room.zone});
    ZoneTotal& zone = totals.zones[found->second];
    ++zone.rooms;
    zone.loudspeakers += count;
    if (room.result.tap == 0) zone.withoutTap += count;
    zone.tapSum += count * room.result.tap;
    totals.loudspeakers += count;
  }
  for (int model = 0; model < kModelCount; ++model) {
    if (used[model]) totals.models.push_back({model, perModel[model]});
  }
  const long double volts = LineVoltage(lineVolts);
  for (ZoneTotal& zone : totals.zones) {
    zone.amplifier = zone.tapSum / kAmplifierLoading;
    zone.impedance = zone.tapSum > 0 ? volts * volts / zone.tapSum : HUGE_VALL;
    totals.tapSum += zone.tapSum;
  }
  return totals;
}

std::string ProjectText(const Project& project, const ProjectTotals& totals, const Options& options) {
  const bool metric = options.metric;
  std::string out = "Project           " + (options.projectFile.empty() ? "command line" : options.projectFile) + ": " +
                    std::to_string(project.rooms.size()) + (project.rooms.size() == 1 ? " room" : " rooms") +
                    " planned";
  if (!project.errors.empty()) out += ", " + std::to_string(project.errors.size()) + " not (see the messages)";
  out += "\n";
  out += "Line              " + std::to_string(options.lineVolts) + " V (" + Bare(LineVoltage(options.lineVolts)) +
         " V); amplifier = sum of taps / " + Bare(kAmplifierLoading) + ", load = V² / sum of taps\n";
  if (metric) {
    out += "Units             metres and m², converted to feet for the calculation (1 ft = " + Bare(kMetresPerFoot) +
           " m)\n";
  } else {
    out += "Units             feet and ft²\n";
  }
  out += "\n";
  for (const RoomPlan& room : project.rooms) {
    out += RoomLine(room, metric);
    if (options.coverage) out += "    coverage " + CoverageText(room.coverage, room.inputs) + "\n";
  }
  out += "\nLoudspeakers per model\n";
  for (const ModelTotal& model : totals.models) {
    out += "  " + std::string(ModelRow(model.modelIndex).name) + " " + Bare(model.loudspeakers) + "\n";
  }
  out += "\nZones\n";
  for (const ZoneTotal& zone : totals.zones) {
    out += "  " + Printable(zone.zone) + ": " + std::to_string(zone.rooms) + (zone.rooms == 1 ? " room, " : " rooms, ") +
           Loudspeakers(zone.loudspeakers) + ", taps " + Bare(zone.tapSum) + " W, amplifier " + Bare(zone.amplifier) +
           " W, load " + (zone.tapSum > 0 ? OhmsText(zone.impedance) + " ohms" : std::string("none"));
    if (zone.withoutTap > 0) out += ", " + Loudspeakers(zone.withoutTap) + " without a tap";
    out += "\n";
  }
  out += "\nTotal             " + Loudspeakers(totals.loudspeakers) + ", taps " + Bare(totals.tapSum) + " W\n";
  return out;
}

std::string ProjectJson(const Project& project, const ProjectTotals& totals, const Options& options) {
  const bool metric = options.metric;
  auto length = [metric](long double feet) { return JsonNumber(LengthText(feet, metric)); };
  auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
  std::string out = "{\n  \"file\": " + (options.projectFile.empty() ? "null" : Quote(options.projectFile)) + ",\n";
  out += "  \"units\": " + Quote(LengthUnit(metric)) + ",\n";
  out += "  \"lineVoltage\": " + JsonNumber(LineVoltage(options.lineVolts)) + ",\n";
  out += "  \"rooms\": [";
  const char* separator = "\n";
  for (const RoomPlan& room : project.rooms) {
    const RoomInputs& in = room.inputs;
    const LayoutResult& r = room.result;
    const LoudspeakerModel& model = ModelRow(in.modelIndex);
    auto spacing = [&](float count, float value) { return MoreThanOne(count) ? length(value) : "null"; };
    out += separator;
    out += "    {\"line\": " + std::to_string(room.line) + ", \"room\": " + Quote(room.name) +
           ", \"zone\": " + Quote(room.zone) + ", \"model\": " + Quote(ModelName(in.modelIndex)) +
           ", \"length\": " + length(in.roomLength) + ", \"width\": " + length(in.roomWidth) +
           ", \"area\": " + JsonNumber(AreaText(static_cast<long double>(in.roomLength) * in.roomWidth, metric)) +
           ", \"earLevel\": " + length(in.earLevel) + ", \"ceiling\": " + length(in.ceilingHeight) +
           ", \"spl\": " + JsonNumber(in.targetSpl) + ", \"deviation\": " + JsonNumber(in.splDeviation) +
           ", \"countX\": " + JsonNumber(r.countX) + ", \"countY\": " + JsonNumber(r.countY) +
           ", \"totalCount\": " + JsonNumber(r.totalCount) + ", \"spacingX\": " + spacing(r.countX, r.spacingX) +
           ", \"spacingY\": " + spacing(r.countY, r.spacingY) +
           ", \"firstX\": " + length(static_cast<long double>(r.spacingX) / 2) +
           ", \"firstY\": " + length(static_cast<long double>(r.spacingY) / 2) +
           ", \"nominalSpacing\": " + length(r.nominalSpacing) + ", \"powerRequired\": " + JsonNumber(r.powerRequired) +
           ", \"tap\": " + JsonNumber(r.tap) + ", \"powerExceeded\": " + flag(PowerExceeded(r, model)) +
           ", \"tapExceeded\": " + flag(TapExceeded(r, model)) + ", \"noTap\": " + flag(r.tap == 0);
    if (options.coverage) {
      const CoverageSummary& c = room.coverage;
      if (c.computed) {
        out += ", \"coverage\": {\"min\": " + JsonNumber(DecibelText(c.min)) +
               ", \"max\": " + JsonNumber(DecibelText(c.max)) + ", \"share\": " + JsonNumber(PercentText(c.share)) +
               "}";
      } else {
        out += ", \"coverage\": {\"reason\": " + Quote(c.reason) + "}";
      }
    }
    out += "}";
    separator = ",\n";
  }
  out += "\n  ],\n  \"models\": [";
  separator = "\n";
  for (const ModelTotal& model : totals.models) {
    out += separator;
    out += "    {\"model\": " + Quote(ModelName(model.modelIndex)) +
           ", \"loudspeakers\": " + JsonNumber(model.loudspeakers) + "}";
    separator = ",\n";
  }
  out += "\n  ],\n  \"zones\": [";
  separator = "\n";
  for (const ZoneTotal& zone : totals.zones) {
    out += separator;
    out += "    {\"zone\": " + Quote(zone.zone) + ", \"rooms\": " + std::to_string(zone.rooms) +
           ", \"loudspeakers\": " + JsonNumber(zone.loudspeakers) + ", \"withoutTap\": " + JsonNumber(zone.withoutTap) +
           ", \"tapSum\": " + JsonNumber(zone.tapSum) + ", \"amplifier\": " + JsonNumber(zone.amplifier) +
           ", \"impedance\": " + (zone.tapSum > 0 ? JsonNumber(OhmsText(zone.impedance)) : std::string("null")) + "}";
    separator = ",\n";
  }
  out += "\n  ],\n  \"loudspeakers\": " + JsonNumber(totals.loudspeakers) +
         ",\n  \"tapSum\": " + JsonNumber(totals.tapSum) + ",\n  \"errors\": [";
  separator = "\n";
  for (const RowError& e : project.errors) {
    out += separator;
    out += "    {\"line\": " + std::to_string(e.line) + ", \"reason\": " + Quote(e.reason) + "}";
    separator = ",\n";
  }
  out += "\n  ]\n}\n";
  return out;
}

bool ParseProjectOption(const std::vector<std::string>& arguments, std::size_t& i, Options& options, bool& matched,
                        std::string& error) {
  const std::string& argument = arguments[i];
  matched = true;
  if (argument == "--metric") {
    options.metric = true;
    return true;
  }
  if (argument == "--coverage") {
    options.coverage = true;
    return true;
  }
  if (argument == "--csv-positions") {
    options.csvPositions = true;
    return true;
  }
  std::string value;
  if (!OptionValue(arguments, i, "--project", value, matched, error)) return false;
  if (matched) {
    options.projectFile = value;
    return true;
  }
  if (!OptionValue(arguments, i, "--svg", value, matched, error)) return false;
  if (matched) {
    if (value.empty()) {
      error = "--svg needs a directory";
      return false;
    }
    options.svgDir = value;
    return true;
  }
  if (!OptionValue(arguments, i, "--line", value, matched, error)) return false;
  if (matched) {
    if (value != "70" && value != "100") {
      error = "line must be 70 or 100 (volts), not '" + Printable(value) + "'";
      return false;
    }
    options.lineVolts = value == "70" ? 70 : 100;
    return true;
  }
  return true;
}

bool UsesProjectOptions(const Options& options) {
  return !options.projectFile.empty() || options.metric || options.lineVolts != 70 || !options.svgDir.empty() ||
         options.csvPositions || options.coverage;
}

static_assert(kMaxProjectBytes == std::size_t{256} << 20, "the help names the limit");

std::string ProjectUsage() {
  return "\n"
         "Whole-building projects:\n"
         "  --project FILE CSV file of rooms (RFC 4180), one per row after a header row\n"
         "                 naming the columns room, length, width, ear_level, ceiling,\n"
         "                 spl and optionally deviation (0 to 6), model (name or row)\n"
         "                 and zone (default: the room); empty deviation and model\n"
         "                 cells take --deviation and --model. Numbers are read as\n"
         "                 typed fields, sign dropped. Prints one line per room, the\n"
         "                 loudspeakers per model and per zone the sum of the taps, the\n"
         "                 amplifier power (sum of taps / 0.8) and the line's load\n"
         "                 impedance (V squared / sum of taps). A row that cannot be\n"
         "                 planned is reported with its line number; the rest are\n"
         "                 planned. With --json all of it as one JSON document.\n"
         "                 FILE may be a pipe; files over 256 MiB are refused.\n"
         "  --line V       70 (a 70.7 V line, default) or 100 (100 V): the same taps,\n"
         "                 the load impedance at that voltage\n"
         "  --metric       lengths and heights in metres, areas in m², in and out; the\n"
         "                 calculation runs in feet on the converted values\n"
         "                 (1 ft = 0.3048 m), so the figures are the calculator's\n"
         "  --svg DIR      write a plan of each room to DIR/ROOM.svg (DIR is created):\n"
         "                 the room to scale, every loudspeaker, dimension chains from\n"
         "                 the walls through the loudspeaker centres, a title block\n"
         "                 with model, tap, power, count and deviation (no date, so\n"
         "                 the same project gives the same files)\n"
         "  --coverage     check each room's coverage: the direct-sound SPL at ear level\n"
         "                 at the centres of cells of at most 0.5 ft (and at most half\n"
         "                 a spacing) over the whole floor, with every loudspeaker of\n"
         "                 the grid as a point source of wide dispersion at its tap\n"
         "                 power: sensitivity + 10 log10(tap) + 20 log10(3 ft / r),\n"
         "                 the sources added as energies. Reflections and reverberation\n"
         "                 are left out. Prints the lowest and highest level, their\n"
         "                 spread against the 2 x D dB that +-D allows and the share of\n"
         "                 the floor within the target +-D; with --svg the map is drawn\n"
         "                 under the grid with a colour legend. A room without a fitting\n"
         "                 tap, or too large to check, is not checked and says why.\n"
         "  --csv-positions\n"
         "                 print every loudspeaker's x (from the wall along the length)\n"
         "                 and y (from the wall along the width) of every room as CSV\n"
         "                 for CAD, instead of the plan\n"
         "  With these options and no --project the room of the command line is\n"
         "  planned as a project of one room named \"room\".\n"
         "  Exit status with them: 0 all planned, 1 a row not planned or a file not\n"
         "  written, 2 bad use or a file that is no project.\n";
}

namespace {

// Reads in pieces rather than by the file's size, so that pipes and
// /dev/stdin work too, and stops once the text is too large for a project.
bool ReadFileText(const std::string& path, std::string& text, std::string& error) {
  if (IsDirectory(path)) {
    error = Printable(path) + " is a directory, not a project file";
    return false;
  }
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) {
    error = "cannot open " + Printable(path) + ": " + std::strerror(errno);
    return false;
  }
  char buffer[1 << 16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    text.append(buffer, got);
    if (text.size() > kMaxProjectBytes) {
      std::fclose(file);
      error = Printable(path) + " is too large for a project (more than " + std::to_string(kMaxProjectBytes >> 20) +
              " MiB)";
      return false;
    }
  }
  const bool failed = std::ferror(file) != 0;
  const int readError = errno;
  std::fclose(file);
  if (failed) {
    error = "cannot read " + Printable(path) + ": " + std::strerror(readError);
    return false;
  }
  return true;
}

// The room of the command line as a project of one room.
bool CommandLineProject(const Options& options, Project& project, std::string& error) {
  RoomPlan room;
  room.line = 0;
  room.name = room.zone = "room";
  RoomInputs& in = room.inputs;
  in.ceilingHeight = LengthInFeet(options.values[handoff::kCeilingValue], options.metric);
  in.earLevel = LengthInFeet(options.values[handoff::kEarLevelValue], options.metric);
  in.roomLength = LengthInFeet(options.values[handoff::kLengthValue], options.metric);
  in.roomWidth = LengthInFeet(options.values[handoff::kWidthValue], options.metric);
  in.targetSpl = static_cast<float>(std::fabs(ParseNumber(options.values[handoff::kSplValue])));
  in.splDeviation = static_cast<float>(options.deviation);
  in.modelIndex = options.modelIndex;
  if (!ComputeLayoutFor(in, room.result)) {
    error = WhyNotPlanned(in);
    return false;
  }
  project.rooms.push_back(std::move(room));
  return true;
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  std::FILE* file = OpenFile(path, "wb");
  bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  int writeError = errno;
  if (file != nullptr && std::fclose(file) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written) {
    error = "cannot write " + Printable(path) + ": " + std::strerror(writeError);
    return false;
  }
  return true;
}

}  // namespace

int RunProject(const Options& options, std::string& out, std::string& err) {
  Project project;
  std::string error;
  if (options.projectFile.empty()) {
    if (!CommandLineProject(options, project, error)) {
      err = "hxplan: " + error + "\n";
      return 2;
    }
  } else {
    // Room values are only noticed when they differ from the default room.
    if (options.values != handoff::kDefaultValues) {
      err = "hxplan: room values and --project do not go together\n";
      return 2;
    }
    std::string text;
    if (!ReadFileText(options.projectFile, text, error)) {
      err = "hxplan: " + error + "\n";
      return 2;
    }
    if (!ReadProject(text, options, project, error)) {
      err = "hxplan: " + Printable(options.projectFile) + ": " + error + "\n";
      return 2;
    }
  }
  for (const RowError& e : project.errors) {
    err += "hxplan: " + Printable(options.projectFile) + ":" + std::to_string(e.line) + ": " + e.reason + "\n";
  }
  int status = project.errors.empty() ? 0 : 1;
  // Each room's map lives only while its drawing is written.
  std::set<std::string> used;
  bool drawing = !options.svgDir.empty();
  if (drawing) {
    const int failure = MakeDirectories(options.svgDir);
    if (!IsDirectory(options.svgDir)) {
      err += "hxplan: cannot make the directory " + Printable(options.svgDir) + ": " +
             (failure != 0 ? std::strerror(failure) : "a file of that name is in the way") + "\n";
      status = 1;
      drawing = false;
    }
  }
  for (RoomPlan& room : project.rooms) {
    CoverageMap map;
    if (options.coverage) {
      map = ComputeCoverage(room.inputs, room.result);
      room.coverage = map.summary;
    }
    if (!drawing) continue;
    const std::string path = PathIn(options.svgDir, FileNameFor(room.name, used) + ".svg");
    if (!WriteText(path, RoomSvg(room, options.metric, options.lineVolts, options.coverage ? &map : nullptr), error)) {
      err += "hxplan: " + error + "\n";
      status = 1;
    }
  }
  if (options.csvPositions) {
    std::vector<std::string> skipped;
    out = PositionsCsv(project.rooms, options.metric, skipped);
    for (const std::string& name : skipped) {
      err += "hxplan: " + Printable(name) + ": too many loudspeakers to list\n";
      status = 1;
    }
    return status;
  }
  const ProjectTotals totals = ComputeTotals(project, options.lineVolts);
  out = options.json ? ProjectJson(project, totals, options) : ProjectText(project, totals, options);
  return status;
}

}  // namespace halvex::plan

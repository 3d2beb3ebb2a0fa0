#include "hxplan/project_reader.h"

#include <array>
#include <cmath>
#include <utility>

#include "common/number_text.h"
#include "cone/catalogue.h"
#include "hxplan/csv.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

enum Column {
  kRoom,
  kLength,
  kWidth,
  kEarLevel,
  kCeiling,
  kSpl,
  kDeviation,
  kModel,
  kZone,
  kKind,
  kPattern,
  kGrid,
  kHeadroom,
  kColumnCount
};
constexpr std::array<std::string_view, kColumnCount> kColumnNames{
    "room",  "length", "width", "ear_level", "ceiling", "spl",     "deviation",
    "model", "zone",   "kind",  "pattern",   "grid",    "headroom"};
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

bool ReadRoom(const CsvRecord& record, const std::array<int, kColumnCount>& columns, std::size_t headerSize,
              const Options& options, bool metric, RoomPlan& room, std::string& reason) {
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
  inputs.roomLength = LengthInFeet(cell(kLength), metric);
  inputs.roomWidth = LengthInFeet(cell(kWidth), metric);
  inputs.earLevel = LengthInFeet(cell(kEarLevel), metric);
  inputs.ceilingHeight = LengthInFeet(cell(kCeiling), metric);
  inputs.targetSpl = static_cast<float>(std::fabs(ParseNumber(cell(kSpl))));

  int deviation = options.deviation;
  if (!cell(kDeviation).empty() && !ParseDeviation(std::string(cell(kDeviation)), deviation)) {
    reason = "deviation '" + Printable(cell(kDeviation)) + "' is not a whole number from 0 to 6";
    return false;
  }
  inputs.splDeviation = static_cast<float>(deviation);

  // The kind: as the row says, else that of the model it names, else the
  // command line's.
  const std::string kind = Lower(cell(kKind)), model(cell(kModel));
  room.cone = options.cone;
  if (kind == "cone" || kind == "planar") {
    room.cone = kind == "cone";
  } else if (!kind.empty()) {
    reason = "unknown kind '" + Printable(cell(kKind)) + "' (choices: planar, cone)";
    return false;
  } else if (!model.empty()) {
    room.cone = cone::FindConeModel(model) >= 0;
  }
  int modelIndex = room.cone == options.cone ? options.modelIndex : 0;
  if (!model.empty() && !(room.cone ? ParseConeModel(model, modelIndex) : ParseModel(model, modelIndex))) {
    reason = UnknownModel(Printable(model), room.cone);
    return false;
  }
  cone::ConeInputs& coneInputs = room.coneInputs;
  coneInputs.pattern = options.pattern;
  coneInputs.grid = options.grid;
  coneInputs.headroom = options.headroom;
  if (!cell(kPattern).empty() && !ParsePattern(std::string(cell(kPattern)), coneInputs.pattern)) {
    reason = UnknownPattern(Printable(cell(kPattern)));
    return false;
  }
  if (!cell(kGrid).empty() && !ParseGrid(std::string(cell(kGrid)), coneInputs.grid)) {
    reason = UnknownGrid(Printable(cell(kGrid)));
    return false;
  }
  if (!cell(kHeadroom).empty() && !ParseHeadroom(std::string(cell(kHeadroom)), coneInputs.headroom)) {
    reason = UnknownHeadroom(Printable(cell(kHeadroom)));
    return false;
  }
  if (room.cone) {
    coneInputs.ceilingHeight = inputs.ceilingHeight;
    coneInputs.earLevel = inputs.earLevel;
    coneInputs.roomLength = inputs.roomLength;
    coneInputs.roomWidth = inputs.roomWidth;
    coneInputs.targetSpl = inputs.targetSpl;
    coneInputs.modelIndex = modelIndex;
    const cone::ConeStatus status = cone::ComputeConeLayout(coneInputs, room.coneLayout);
    if (status != cone::ConeStatus::kPlanned) {
      reason = cone::ConeStatusText(status);
      return false;
    }
    return true;
  }
  inputs.modelIndex = modelIndex;
  if (!ComputeLayoutFor(inputs, room.result)) {
    reason = "ceiling " + std::string(cell(kCeiling)) + " is not above the ear level " + std::string(cell(kEarLevel));
    return false;
  }
  return true;
}

}  // namespace

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

bool ReadProject(std::string_view text, const Options& options, bool metric, Project& project, std::string& error) {
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
            " (needed: room, length, width, ear_level, ceiling, spl; optional: deviation, model, zone, kind, pattern, "
            "grid, "
            "headroom)";
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
    if (ReadRoom(record, columns, header.fields.size(), options, metric, room, reason)) {
      project.rooms.push_back(std::move(room));
    } else {
      project.errors.push_back({record.line, reason});
    }
  }
  return true;
}

}  // namespace halvex::plan

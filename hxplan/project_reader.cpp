#include "hxplan/project_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "common/number_text.h"
#include "cone/catalogue.h"
#include "hxplan/csv.h"
#include "hxplan/library.h"
#include "hxplan/line_loss.h"
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
  kRun,
  kCable,
  kRevision,
  kColumnCount
};
constexpr std::array<std::string_view, kColumnCount> kColumnNames{
    "room", "length",  "width", "ear_level", "ceiling",  "spl", "deviation", "model",
    "zone", "kind",    "pattern", "grid",    "headroom", "run", "cable", "revision"};
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

// The optimal string alignment distance: edits of one letter, a swap of two
// neighbours counting as one.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string NearestColumn(std::string_view name) {
  const std::string lower = Lower(Trimmed(name));
  std::string_view nearest;
  std::size_t best = 3;  // more than two edits apart is no typing slip
  for (const std::string_view column : kColumnNames) {
    const std::size_t distance = EditDistance(lower, column);
    if (distance < best && distance < column.size()) {
      best = distance;
      nearest = column;
    }
  }
  return std::string(nearest);
}

bool ProjectReader::ReadRoom(const CsvRecord& record, RoomPlan& room, std::string& reason) const {
  const std::array<int, kColumnCount>& columns = columns_;
  const std::size_t headerSize = headerSize_;
  const Options& options = options_;
  const bool metric = settings_.metric;
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
  for (const int column : {kLength, kWidth, kEarLevel, kCeiling, kSpl}) {
    const float value = column == kSpl ? inputs.targetSpl : LengthInFeet(cell(column), metric);
    if (!std::isfinite(value)) {
      reason = "'" + Printable(cell(column)) + "' in column '" + std::string(kColumnNames[column]) +
               "' is beyond the range of a single-precision number";
      return false;
    }
  }
  reason = WhyNotARoom(inputs, metric);
  if (!reason.empty()) return false;

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
    room.cone = IsConeModel(model, options.library);
  }
  int modelIndex = room.cone == options.cone ? options.modelIndex : 0;
  if (!model.empty() && !(room.cone ? ParseConeModel(model, modelIndex, options.library)
                                    : ParseModel(model, modelIndex, options.library))) {
    reason = UnknownModel(Printable(model), room.cone);
    return false;
  }
  // The cable to the room: both or neither, since the check needs both.
  room.run = 0;
  room.cable = -1;
  if (!cell(kRun).empty() || !cell(kCable).empty()) {
    if (cell(kRun).empty() || cell(kCable).empty()) {
      reason = std::string("a cable needs both its run and its cable (") +
               (cell(kRun).empty() ? "no run" : "no cable") + ")";
      return false;
    }
    if (!IsNumberText(cell(kRun))) {
      reason = "'" + Printable(cell(kRun)) + "' in column 'run' is not a number";
      return false;
    }
    room.run = LengthInFeet(cell(kRun), metric);
    if (!std::isfinite(room.run) || room.run > kMaxSide * 10) {
      reason = "run '" + Printable(cell(kRun)) + "' is beyond 100000 ft (30480 m)";
      return false;
    }
    room.cable = FindCable(cell(kCable));
    if (room.cable < 0) {
      reason = "unknown cable '" + Printable(cell(kCable)) +
               "' (choices: 18AWG, 16AWG, 14AWG, 12AWG, 10AWG, 0.75mm2, 1.5mm2, 2.5mm2, 4mm2)";
      return false;
    }
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
    room.coneModel = ConeModelOf(options.library, modelIndex);
    room.libraryModel = Library::IsLibraryCone(modelIndex);
    const cone::ConeStatus status = cone::ComputeConeLayout(coneInputs, room.coneModel, room.coneLayout);
    if (status != cone::ConeStatus::kPlanned) {
      reason = cone::ConeStatusText(status);
      return false;
    }
  } else {
    inputs.modelIndex = modelIndex;
    room.model = PlanarModelOf(options.library, modelIndex);
    room.libraryModel = Library::IsLibraryPlanar(modelIndex);
    if (!ComputeLayoutFor(inputs, room.model, room.result)) {
      reason = "ceiling " + Printable(cell(kCeiling)) + " is not above the ear level " + Printable(cell(kEarLevel));
      return false;
    }
  }
  reason = WhyTooLarge(room);
  return reason.empty();
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

ProjectReader::ProjectReader(CsvReader& csv, const Options& options, const ReaderSettings& settings)
    : csv_(csv), options_(options), settings_(settings) {
  static_assert(kColumns == kColumnCount);
  columns_.fill(-1);
}

namespace {

bool Blank(const CsvRecord& record) {
  for (const std::string& field : record.fields) {
    if (!Trimmed(field).empty()) return false;
  }
  return record.error.empty();
}

// Why a record's bytes are not text: NUL bytes, or bytes that are not UTF-8
// (Latin-1 text is taken as such when asked for). Empty when they are text.
std::string WhyNotText(CsvRecord& record, bool latin1) {
  for (std::size_t index = 0; index < record.fields.size(); ++index) {
    std::string& field = record.fields[index];
    if (field.find('\0') != std::string::npos) return "not a CSV text file (it holds NUL bytes)";
    if (latin1) {
      field = Latin1ToUtf8(field);
    } else if (FirstNonUtf8(field) != std::string::npos) {
      return "field " + std::to_string(index + 1) + " is not UTF-8 text; for Latin-1 use --encoding latin1";
    }
  }
  return {};
}

}  // namespace

bool ProjectReader::ReadHeader(std::string& error) {
  CsvRecord& header = record_;
  bool found = false;
  while (!found && csv_.Next(header)) found = !Blank(header);
  if (!found) {
    error = "empty: no header row naming the columns";
    return false;
  }
  const std::string where = "line " + std::to_string(header.line);
  if (!header.error.empty()) {
    error = where + ": " + header.error;
    return false;
  }
  const std::string notText = WhyNotText(header, settings_.latin1);
  if (!notText.empty()) {
    error = header.line == 1 ? notText : where + ": " + notText;
    return false;
  }
  headerSize_ = header.fields.size();
  std::string unknown;
  for (std::size_t index = 0; index < header.fields.size(); ++index) {
    const std::string name = Lower(Trimmed(header.fields[index]));
    // An unnamed column (a trailing comma) holds nothing a plan reads.
    if (name.empty()) continue;
    const auto known = std::find(kColumnNames.begin(), kColumnNames.end(), name);
    if (known == kColumnNames.end()) {
      if (!settings_.ignoreUnknownColumns && unknown.empty()) {
        const std::string nearest = NearestColumn(name);
        unknown = "unknown column '" + Printable(Trimmed(header.fields[index])) + "'" +
                  (nearest.empty() ? " (known: room, length, width, ear_level, ceiling, spl, deviation, model, zone, "
                                     "kind, pattern, grid, headroom, run, cable, revision)"
                                   : ": did you mean '" + nearest + "'?") +
                  "; --ignore-unknown-columns lets it pass";
      }
      continue;
    }
    const auto column = static_cast<std::size_t>(known - kColumnNames.begin());
    if (columns_[column] >= 0) {
      error = where + ": column '" + name + "' named twice";
      return false;
    }
    columns_[column] = static_cast<int>(index);
  }
  std::string missing;
  for (int column = 0; column < kRequiredColumns; ++column) {
    if (columns_[column] < 0) missing += (missing.empty() ? "" : ", ") + std::string(kColumnNames[column]);
  }
  if (!missing.empty()) {
    error = where + " is not a header row: no column " + missing +
            " (needed: room, length, width, ear_level, ceiling, spl; optional: deviation, model, zone, kind, pattern, "
            "grid, headroom)";
    if (header.fields.size() == 1 && header.fields[0].find(';') != std::string::npos) {
      error += "; the columns must be separated by commas, not semicolons";
    }
    return false;
  }
  if (!unknown.empty()) {
    error = where + ": " + unknown;
    return false;
  }
  return true;
}

ProjectReader::Row ProjectReader::Next(RoomPlan& room, RowError& error) {
  CsvRecord& record = record_;
  do {
    if (!csv_.Next(record)) return Row::kEnd;
  } while (Blank(record));
  error.line = record.line;
  error.reason = record.error;
  if (error.reason.empty()) error.reason = WhyNotText(record, settings_.latin1);
  if (!error.reason.empty()) return Row::kError;
  // The project's revision: whichever row gives it, the same in every row
  // that does, taken even from a row that is not planned.
  const int column = columns_[kRevision];
  if (column >= 0 && static_cast<std::size_t>(column) < record.fields.size()) {
    const std::string_view revision = Trimmed(record.fields[column]);
    if (!revision.empty() && revision_.empty()) {
      revision_ = std::string(revision);
      revisionLine_ = record.line;
    } else if (!revision.empty() && revision != revision_) {
      error.reason = "revision '" + Printable(revision) + "' differs from '" + Printable(revision_) + "' of line " +
                     std::to_string(revisionLine_);
      return Row::kError;
    }
  }
  room = RoomPlan{};
  return ReadRoom(record, room, error.reason) ? Row::kRoom : Row::kError;
}

}  // namespace halvex::plan

#include "hxplan/library.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/number_text.h"
#include "hxplan/csv.h"
#include "hxplan/project_reader.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

enum Column { kKind, kModel, kSensitivity, kSensitivityAt, kMaxPower, kTaps, kCoverageAngle, kColumnCount };
constexpr std::array<std::string_view, kColumnCount> kColumnNames{
    "kind", "model", "sensitivity", "sensitivity_at", "max_power", "taps", "coverage_angle"};
constexpr int kRequiredColumns = kCoverageAngle;  // the angle is asked of cone rows only

constexpr long double kMinSensitivity = 70, kMaxSensitivity = 110;  // dB
constexpr long double kMinAngle = 30, kMaxAngle = 170;              // degrees
constexpr long double kMaxModelPower = 10000;                       // W
constexpr std::size_t kMaxTaps = 6;
// The taps the planar calculation chooses from.
constexpr std::array<double, 8> kPlanarTaps{0.5, 1, 2, 4, 8, 16, 32, 64};

std::string_view Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string Without(std::string_view text, char gone) {
  std::string kept;
  for (const char c : text) {
    if (c != gone) kept += c;
  }
  return kept;
}

bool IsBuiltIn(const std::string& upper) {
  for (const LoudspeakerModel& model : kCatalogueRows) {
    if (Upper(TrimmedName(model.name)) == upper) return true;
  }
  return cone::FindConeModel(upper) >= 0;
}

// A number the way a project's cells hold one, or false.
bool ReadNumber(std::string_view text, long double& value) {
  if (!IsNumberText(text)) return false;
  value = ParseNumber(text);
  return std::isfinite(value);
}

}  // namespace

long double SensitivityAt3Feet(long double sensitivity, bool atOneMetre) {
  return atOneMetre ? sensitivity - 20 * std::log10(3 * 0.3048L) : sensitivity;
}

long double SensitivityAt1Metre(long double sensitivity, bool atThreeFeet) {
  return atThreeFeet ? sensitivity + 20 * std::log10(3 * 0.3048L) : sensitivity;
}

const LoudspeakerModel& Library::Planar(int index) const {
  if (index >= kModelCount && index - kModelCount < PlanarCount()) {
    return planar_[static_cast<std::size_t>(index - kModelCount)];
  }
  return ModelRow(index);
}

const cone::ConeModel& Library::Cone(int index) const {
  if (index >= cone::kConeModelCount && index - cone::kConeModelCount < ConeCount()) {
    return cone_[static_cast<std::size_t>(index - cone::kConeModelCount)];
  }
  return cone::ConeModelRow(index);
}

const LoudspeakerModel& PlanarModelOf(const Library* library, int index) {
  return library != nullptr ? library->Planar(index) : ModelRow(index);
}

const cone::ConeModel& ConeModelOf(const Library* library, int index) {
  return library != nullptr ? library->Cone(index) : cone::ConeModelRow(index);
}

int Library::FindPlanar(std::string_view text) const {
  const std::string upper = Upper(Trimmed(text));
  for (std::size_t row = 0; row < planar_.size(); ++row) {
    if (Upper(TrimmedName(planar_[row].name)) == upper) return kModelCount + static_cast<int>(row);
  }
  return -1;
}

int Library::FindCone(std::string_view text) const {
  const std::string upper = Upper(Trimmed(text));
  for (std::size_t row = 0; row < cone_.size(); ++row) {
    if (Upper(cone_[row].name) == upper) return cone::kConeModelCount + static_cast<int>(row);
  }
  return -1;
}

bool Library::Read(std::string_view text, std::string& error) {
  const std::vector<CsvRecord> records = ParseCsv(text);
  if (records.empty()) {
    error = "1: no header row (kind, model, sensitivity, sensitivity_at, max_power, taps, coverage_angle)";
    return false;
  }
  std::array<int, kColumnCount> columns;
  columns.fill(-1);
  const CsvRecord& header = records.front();
  if (!header.error.empty()) {
    error = std::to_string(header.line) + ": " + header.error;
    return false;
  }
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    std::string name(Trimmed(header.fields[i]));
    for (char& c : name) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    const auto known = std::find(kColumnNames.begin(), kColumnNames.end(), name);
    if (known == kColumnNames.end()) {
      error = std::to_string(header.line) + ": unknown column '" + Printable(header.fields[i]) + "'";
      return false;
    }
    columns[static_cast<std::size_t>(known - kColumnNames.begin())] = static_cast<int>(i);
  }
  for (int column = 0; column < kRequiredColumns; ++column) {
    if (columns[column] < 0) {
      error = std::to_string(header.line) + ": missing column '" + std::string(kColumnNames[column]) + "'";
      return false;
    }
  }

  Library read;
  std::vector<std::string> names;  // upper-cased, of the rows so far
  for (std::size_t r = 1; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    const std::string at = std::to_string(record.line) + ": ";
    if (!record.error.empty()) {
      error = at + record.error;
      return false;
    }
    if (record.fields.size() == 1 && Trimmed(record.fields[0]).empty()) continue;  // a blank line
    auto cell = [&](int column) -> std::string_view {
      const int index = columns[column];
      return index < 0 || static_cast<std::size_t>(index) >= record.fields.size() ? std::string_view()
                                                                                 : Trimmed(record.fields[index]);
    };
    std::string_view failed;  // the column of the first refused cell
    std::string why;
    auto refuse = [&](int column, std::string reason) {
      failed = kColumnNames[column];
      why = std::move(reason);
    };

    const std::string kind = Upper(cell(kKind));
    const bool isCone = kind == "CONE";
    const std::string name(cell(kModel));
    const std::string upperName = Upper(name);
    long double sensitivity = 0, maxPower = 0, angle = 0;
    const std::string sensitivityAt = Upper(Without(cell(kSensitivityAt), ' '));
    std::vector<double> taps;
    if (kind != "CONE" && kind != "PLANAR") {
      refuse(kKind, "'" + Printable(cell(kKind)) + "' is not planar or cone");
    } else if (name.empty() || name.size() > static_cast<std::size_t>(kNameLength)) {
      refuse(kModel, "a name of 1 to 9 characters, not '" + Printable(name) + "'");
    } else if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
      refuse(kModel, "'" + name + "' would read as a row number");
    } else if (IsBuiltIn(upperName)) {
      refuse(kModel, "'" + Printable(name) + "' is a built-in model");
    } else if (std::find(names.begin(), names.end(), upperName) != names.end()) {
      refuse(kModel, "'" + Printable(name) + "' is named twice");
    } else if (!ReadNumber(cell(kSensitivity), sensitivity)) {
      refuse(kSensitivity, "'" + Printable(cell(kSensitivity)) + "' is not a number");
    } else if (sensitivity < kMinSensitivity || sensitivity > kMaxSensitivity) {
      refuse(kSensitivity, Bare(sensitivity) + " dB is outside 70 to 110 dB");
    } else if (sensitivityAt != "1W/3FT" && sensitivityAt != "1W/1M") {
      refuse(kSensitivityAt, "'" + Printable(cell(kSensitivityAt)) + "' is not 1W/3ft or 1W/1m");
    } else if (!ReadNumber(cell(kMaxPower), maxPower) || !(maxPower > 0) || maxPower > kMaxModelPower) {
      refuse(kMaxPower, "'" + Printable(cell(kMaxPower)) + "' is not a power above 0 and up to 10000 W");
    }
    if (failed.empty()) {
      const std::string_view list = cell(kTaps);
      for (std::size_t begin = list.find_first_not_of(' '); begin != std::string_view::npos && failed.empty();
           begin = list.find_first_not_of(' ', begin)) {
        const std::size_t end = std::min(list.find(' ', begin), list.size());
        const std::string_view word = list.substr(begin, end - begin);
        long double tap = 0;
        if (!ReadNumber(word, tap) || !(tap > 0)) {
          refuse(kTaps, "'" + Printable(word) + "' is not a tap above 0 W");
        } else if (!taps.empty() && !(tap > taps.back())) {
          refuse(kTaps, "taps must rise (" + Bare(tap) + " after " + Bare(taps.back()) + ")");
        } else if (!isCone && std::find(kPlanarTaps.begin(), kPlanarTaps.end(), static_cast<double>(tap)) ==
                                  kPlanarTaps.end()) {
          refuse(kTaps, Bare(tap) + " W is no planar tap (0.5, 1, 2, 4, 8, 16, 32 or 64 W)");
        } else {
          taps.push_back(static_cast<double>(tap));
        }
        begin = end;
      }
      if (failed.empty() && taps.empty()) refuse(kTaps, "no taps");
      if (failed.empty() && taps.size() > kMaxTaps) refuse(kTaps, std::to_string(taps.size()) + " taps, at most 6");
    }
    if (failed.empty() && isCone) {
      if (columns[kCoverageAngle] < 0) {
        refuse(kCoverageAngle, "missing: a cone model needs its coverage angle");
      } else if (!ReadNumber(cell(kCoverageAngle), angle)) {
        refuse(kCoverageAngle, "'" + Printable(cell(kCoverageAngle)) + "' is not a number");
      } else if (angle < kMinAngle || angle > kMaxAngle) {
        refuse(kCoverageAngle, Bare(angle) + " degrees is outside 30 to 170 degrees");
      }
    } else if (failed.empty() && !cell(kCoverageAngle).empty()) {
      refuse(kCoverageAngle, "a planar model has no coverage angle");
    }
    if (!failed.empty()) {
      error = at + "column '" + std::string(failed) + "': " + why;
      return false;
    }

    names.push_back(upperName);
    const bool atOneMetre = sensitivityAt == "1W/1M";
    if (isCone) {
      read.texts_.push_back(name);
      cone::ConeModel model{};
      model.name = read.texts_.back();
      model.driver = "library model";
      model.coverageAngle = static_cast<double>(angle);
      model.sensitivity = static_cast<double>(SensitivityAt1Metre(sensitivity, !atOneMetre));
      std::copy(taps.begin(), taps.end(), model.taps.begin());
      model.tapCount = static_cast<int>(taps.size());
      read.cone_.push_back(model);
    } else {
      std::string padded = name;
      padded.resize(kNameLength, ' ');
      read.texts_.push_back(padded);
      read.planar_.push_back({read.texts_.back(), static_cast<float>(SensitivityAt3Feet(sensitivity, atOneMetre)),
                              static_cast<float>(maxPower), static_cast<float>(taps.back())});
    }
  }
  *this = std::move(read);
  return true;
}

}  // namespace halvex::plan

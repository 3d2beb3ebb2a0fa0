#include "cone/layout.h"

#include <algorithm>
#include <cmath>

namespace halvex::cone {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kAmplifierLoading = 0.8;
// Whole counts from quotients that are whole but for rounding: 20 / 5 (and
// 20 / 4.9999999999) ask for 4 loudspeakers, not 5.
constexpr double kCountSlack = 1e-9;

double Count(double quotient) { return std::max(1.0, std::ceil(quotient - kCountSlack)); }

// Rounded up to 0.1, never understated: 2.96 -> 3, 3 -> 3.
double RoundedUpTenth(double value) { return std::ceil(10 * value - kCountSlack) / 10; }

double SpacingFactor(Pattern pattern, Grid grid) {
  switch (pattern) {
    case Pattern::kEdgeToEdge:
      return 2;
    case Pattern::kCentreToCentre:
      return 1;
    case Pattern::kMinimumOverlap:
      break;
  }
  return grid == Grid::kSquare ? std::sqrt(2.0) : std::sqrt(3.0);
}

// The x positions of the rows that hold countX loudspeakers and of the
// shifted rows between them.
std::vector<double> FullRow(const ConeLayout& layout) {
  std::vector<double> xs;
  for (double i = 0; i < layout.countX; ++i) xs.push_back(layout.spacingX / 2 + i * layout.spacingX);
  return xs;
}

std::vector<double> ShiftedRow(const ConeLayout& layout) {
  std::vector<double> xs;
  for (double i = 1; i < layout.countX; ++i) xs.push_back(i * layout.spacingX);
  return xs;
}

bool Shifted(const ConeLayout& layout, Grid grid, std::size_t row) {
  return grid == Grid::kHexagonal && layout.countX > 1 && row % 2 == 1;
}

}  // namespace

double RoundedTenth(double value) { return std::round(value * 10) / 10; }

double Directivity(double coverageAngle) { return std::log(0.5) / std::log(std::cos(coverageAngle / 2 * kPi / 180)); }

ConeStatus ComputeConeLayout(const ConeInputs& inputs, ConeLayout& layout) {
  return ComputeConeLayout(inputs, ConeModelRow(inputs.modelIndex), layout);
}

ConeStatus ComputeConeLayout(const ConeInputs& inputs, const ConeModel& model, ConeLayout& layout) {
  if (!std::isfinite(inputs.ceilingHeight)) return ConeStatus::kCeilingTooLarge;
  if (!std::isfinite(inputs.earLevel)) return ConeStatus::kEarLevelTooLarge;
  if (!std::isfinite(inputs.roomLength)) return ConeStatus::kLengthTooLarge;
  if (!std::isfinite(inputs.roomWidth)) return ConeStatus::kWidthTooLarge;
  if (!std::isfinite(inputs.targetSpl)) return ConeStatus::kSplTooLarge;
  ConeLayout l;
  l.height = static_cast<double>(inputs.ceilingHeight) - inputs.earLevel;
  if (!(l.height > 0)) return ConeStatus::kCeilingNotAboveEarLevel;
  const double length = inputs.roomLength, width = inputs.roomWidth;

  l.radius = l.height * std::tan(model.coverageAngle / 2 * kPi / 180);
  l.spacing = SpacingFactor(inputs.pattern, inputs.grid) * l.radius;
  const double pitch = inputs.grid == Grid::kSquare ? l.spacing : l.spacing * std::sqrt(3.0) / 2;
  l.countX = Count(length / l.spacing);
  l.rows = Count(width / pitch);
  // A ceiling a hair above the ear level gives circles too small to count.
  if (!std::isfinite(l.countX)) return ConeStatus::kLengthTooLarge;
  if (!std::isfinite(l.rows)) return ConeStatus::kWidthTooLarge;
  l.spacingX = length / l.countX;
  l.spacingY = width / l.rows;
  if (inputs.grid == Grid::kHexagonal && l.countX > 1) {
    l.total = std::ceil(l.rows / 2) * l.countX + std::floor(l.rows / 2) * (l.countX - 1);
  } else {
    l.total = l.countX * l.rows;
  }

  l.power = std::pow(
      10.0, (inputs.targetSpl + inputs.headroom - model.sensitivity + 20 * std::log10(kMetresPerFoot * l.height)) / 10);
  l.powerShown = RoundedUpTenth(l.power);
  if (!std::isfinite(l.powerShown)) return ConeStatus::kSplTooLarge;
  const auto taps = model.taps.begin(), tapsEnd = taps + model.tapCount;
  const auto tap = std::find_if(taps, tapsEnd, [&](double t) { return t >= l.powerShown; });
  l.tapExceeded = tap == tapsEnd;
  l.tap = l.tapExceeded ? model.HighestTap() : *tap;
  l.load = l.total * l.tap;
  l.amplifier = RoundedUpTenth(l.load / kAmplifierLoading);
  if (!std::isfinite(l.amplifier)) return ConeStatus::kLengthTooLarge;
  layout = l;
  return ConeStatus::kPlanned;
}

std::string ConeStatusText(ConeStatus status) {
  switch (status) {
    case ConeStatus::kPlanned:
      return "";
    case ConeStatus::kCeilingNotAboveEarLevel:
      return "The ceiling must be above the ear level.";
    case ConeStatus::kCeilingTooLarge:
      return "The ceiling height is too large.";
    case ConeStatus::kEarLevelTooLarge:
      return "The ear level is too large.";
    case ConeStatus::kLengthTooLarge:
      return "The room length is too large.";
    case ConeStatus::kWidthTooLarge:
      return "The room width is too large.";
    case ConeStatus::kSplTooLarge:
      return "The SPL is too large.";
  }
  return "";
}

std::vector<Position> ConePositions(const ConeLayout& layout, Grid grid, double limit) {
  std::vector<Position> positions;
  if (!(layout.total <= limit)) return positions;
  const std::vector<double> full = FullRow(layout), shifted = ShiftedRow(layout);
  positions.reserve(static_cast<std::size_t>(layout.total));
  for (std::size_t row = 0; row < static_cast<std::size_t>(layout.rows); ++row) {
    const double y = layout.spacingY / 2 + static_cast<double>(row) * layout.spacingY;
    for (const double x : Shifted(layout, grid, row) ? shifted : full) positions.push_back({x, y});
  }
  return positions;
}

SourceRows ConeSources(const ConeLayout& layout, Grid grid) {
  SourceRows sources;
  sources.columnSets = {FullRow(layout), ShiftedRow(layout)};
  for (std::size_t row = 0; row < static_cast<std::size_t>(layout.rows); ++row) {
    sources.ys.push_back(layout.spacingY / 2 + static_cast<double>(row) * layout.spacingY);
    sources.rowSet.push_back(Shifted(layout, grid, row) ? 1 : 0);
  }
  return sources;
}

CoverageMap ComputeConeCoverage(const ConeInputs& inputs, const ConeLayout& layout, double deviation) {
  return ComputeConeCoverage(inputs, ConeModelRow(inputs.modelIndex), layout, deviation);
}

CoverageMap ComputeConeCoverage(const ConeInputs& inputs, const ConeModel& model, const ConeLayout& layout,
                                double deviation) {
  CoverageMap map;
  CoverageField field;
  field.length = inputs.roomLength;
  field.width = inputs.roomWidth;
  field.height = layout.height;
  if (!(field.length > 0 && field.width > 0)) {
    map.summary.reason = "the room has no floor area";
    return map;
  }
  const double cell = std::min({kCoverageStep, layout.spacingX / 2, layout.spacingY / 2});
  const double columns = Count(field.length / cell), rows = Count(field.width / cell);
  if (const char* limit = CoverageLimit(columns * rows, layout.total)) {
    map.summary.reason = limit;
    return map;
  }
  field.columns = static_cast<int>(columns);
  field.rows = static_cast<int>(rows);
  // The sensitivity holds at 1 m; the engine's distances are in feet.
  field.offset = model.sensitivity + 10 * std::log10(layout.tap) - 20 * std::log10(kMetresPerFoot);
  field.directivity = Directivity(model.coverageAngle);
  field.target = inputs.targetSpl;
  field.deviation = deviation;
  return ComputeLevels(field, ConeSources(layout, inputs.grid));
}

}  // namespace halvex::cone

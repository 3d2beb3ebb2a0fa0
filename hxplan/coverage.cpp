#include "hxplan/coverage.h"

#include <algorithm>
#include <cmath>

#include "hxplan/room_plan.h"

namespace halvex::plan {

CoverageMap ComputeCoverage(const RoomInputs& inputs, const LayoutResult& result) {
  CoverageMap map;
  CoverageSummary& summary = map.summary;
  const double length = inputs.roomLength, width = inputs.roomWidth;
  const double height = static_cast<double>(inputs.ceilingHeight) - inputs.earLevel;
  if (!(length > 0 && width > 0)) {
    summary.reason = "the room has no floor area";
    return map;
  }
  if (!(height > 0)) {
    summary.reason = "the ceiling is not above the ear level";
    return map;
  }
  if (!(result.tap > 0)) {
    summary.reason = "no tap fits the power required";
    return map;
  }
  double step = kCoverageStep;
  if (result.spacingX > 0) step = std::min(step, result.spacingX / 2.0);
  if (result.spacingY > 0) step = std::min(step, result.spacingY / 2.0);
  const double columns = std::ceil(length / step), rows = std::ceil(width / step);
  const double loudspeakers = static_cast<double>(result.countX) * result.countY;
  if (!(columns * rows <= kMaxCoveragePoints)) {
    summary.reason = "the room is too large to check point by point";
    return map;
  }
  if (!(columns * rows * loudspeakers <= kMaxCoverageTerms)) {
    summary.reason = "too many loudspeakers to check";
    return map;
  }
  const std::vector<long double> xs = GridPositions(result.countX, result.spacingX, 1e9f);
  const std::vector<long double> ys = GridPositions(result.countY, result.spacingY, 1e9f);
  map.columns = static_cast<int>(columns);
  map.rows = static_cast<int>(rows);
  map.cellLength = length / map.columns;
  map.cellWidth = width / map.rows;
  map.spl.resize(static_cast<std::size_t>(map.columns) * map.rows);

  // Squared distances along the length, once per loudspeaker column; per row
  // only the width term changes. The sum is of 1 / r² in 1/ft², so the level
  // is sensitivity + 10 log10(P) + 10 log10(9 x sum). The points of a row are
  // the innermost loop: each has its own sum, so the compiler can work on
  // several at once without reordering any one sum.
  const std::size_t nx = xs.size(), ny = ys.size(), columnCount = static_cast<std::size_t>(map.columns);
  std::vector<double> dx2(nx * columnCount);
  for (std::size_t i = 0; i < nx; ++i) {
    for (std::size_t c = 0; c < columnCount; ++c) {
      const double d = (c + 0.5) * map.cellLength - static_cast<double>(xs[i]);
      dx2[i * columnCount + c] = d * d;
    }
  }
  const double base = ModelRow(inputs.modelIndex).sensitivity + 10 * std::log10(static_cast<double>(result.tap) * 9);
  const double target = inputs.targetSpl, deviation = inputs.splDeviation;
  std::vector<double> sums(columnCount);
  double min = HUGE_VAL, max = -HUGE_VAL;
  std::size_t within = 0;
  for (int r = 0; r < map.rows; ++r) {
    const double y = (r + 0.5) * map.cellWidth;
    std::fill(sums.begin(), sums.end(), 0.0);
    double* const sum = sums.data();
    for (std::size_t j = 0; j < ny; ++j) {
      const double d = y - static_cast<double>(ys[j]);
      const double dy2h = d * d + height * height;
      for (std::size_t i = 0; i < nx; ++i) {
        const double* const dx = &dx2[i * columnCount];
        for (std::size_t c = 0; c < columnCount; ++c) sum[c] += 1 / (dx[c] + dy2h);
      }
    }
    float* const out = &map.spl[static_cast<std::size_t>(r) * columnCount];
    for (std::size_t c = 0; c < columnCount; ++c) {
      const double spl = base + 10 * std::log10(sum[c]);
      out[c] = static_cast<float>(spl);
      min = std::min(min, spl);
      max = std::max(max, spl);
      if (std::fabs(spl - target) <= deviation) ++within;
    }
  }
  summary.computed = true;
  summary.min = min;
  summary.max = max;
  summary.share = static_cast<double>(within) / static_cast<double>(map.spl.size());
  return map;
}

}  // namespace halvex::plan

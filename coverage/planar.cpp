#include "coverage/planar.h"

#include <algorithm>
#include <cmath>

namespace halvex {

namespace {

// Loudspeaker centres along one direction as the layout places them: half a
// spacing from the wall, then every spacing, in extended precision.
std::vector<double> Centres(float count, float spacing) {
  std::vector<double> centres;
  const long double first = static_cast<long double>(spacing) / 2;
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    centres.push_back(static_cast<double>(first + i * static_cast<long double>(spacing)));
  }
  return centres;
}

}  // namespace

CoverageMap ComputeCoverage(const RoomInputs& inputs, const LayoutResult& result) {
  return ComputeCoverage(inputs, ModelRow(inputs.modelIndex), result);
}

CoverageMap ComputeCoverage(const RoomInputs& inputs, const LoudspeakerModel& model, const LayoutResult& result) {
  CoverageMap map;
  CoverageField field;
  field.length = inputs.roomLength;
  field.width = inputs.roomWidth;
  field.height = static_cast<double>(inputs.ceilingHeight) - inputs.earLevel;
  if (!(field.length > 0 && field.width > 0)) {
    map.summary.reason = "the room has no floor area";
    return map;
  }
  if (!(field.height > 0)) {
    map.summary.reason = "the ceiling is not above the ear level";
    return map;
  }
  if (!(result.tap > 0)) {
    map.summary.reason = "no tap fits the power required";
    return map;
  }
  double step = kCoverageStep;
  if (result.spacingX > 0) step = std::min(step, result.spacingX / 2.0);
  if (result.spacingY > 0) step = std::min(step, result.spacingY / 2.0);
  const double columns = std::ceil(field.length / step), rows = std::ceil(field.width / step);
  const double loudspeakers = static_cast<double>(result.countX) * result.countY;
  // The counts are whole and finite once these limits hold.
  if (const char* limit = CoverageLimit(columns * rows, loudspeakers)) {
    map.summary.reason = limit;
    return map;
  }
  SourceRows sources;
  sources.columnSets.push_back(Centres(result.countX, result.spacingX));
  sources.ys = Centres(result.countY, result.spacingY);
  sources.rowSet.assign(sources.ys.size(), 0);
  field.columns = static_cast<int>(columns);
  field.rows = static_cast<int>(rows);
  // The sum is of 1 / r² in 1/ft², so 3 ft of reference distance are 9 ft².
  // The installer can set no tap above the model's highest, whatever the
  // power asks for: the map shows what the room will hear.
  const float tap = std::min(result.tap, model.maxTap);
  field.offset = model.sensitivity + 10 * std::log10(static_cast<double>(tap) * 9);
  field.target = inputs.targetSpl;
  field.deviation = inputs.splDeviation;
  return ComputeLevels(field, sources);
}

}  // namespace halvex

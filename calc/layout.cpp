#include "calc/layout.h"

#include <cmath>

#include "calc/arithmetic.h"

namespace halvex {

namespace {

float Store(long double value) { return static_cast<float>(value); }

// Floor for results of logarithms. Those are only faithful to about an ulp,
// so a value whose true result is a whole number (log10(0.1) = -1) may come
// back an ulp below it; plain floor would then drop a whole step (-20.1 dB
// instead of -20.0). A value within 2^-58 (relative) below a whole number is
// taken as that number, far below any difference the float inputs can produce.
// An infinite value stays as it is: the tolerance would add infinity to
// minus infinity and make a NaN.
long double FloorTranscendental(long double value) {
  if (!std::isfinite(value)) return value;
  return std::floor(value + std::fabs(value) * 0x1p-58L);
}

long double HeightAboveEar(const RoomInputs& inputs) {
  return static_cast<long double>(inputs.ceilingHeight) - inputs.earLevel;
}

float CountFor(float dimension, float spacing) {
  float count = Store(std::floor(kRemainderThreshold + static_cast<long double>(dimension) / spacing));
  return count < 1 ? 1.0f : count;
}

float SpacingFor(float dimension, float count) {
  return Store(std::floor(10 * static_cast<long double>(dimension) / count) / 10);
}

}  // namespace

float ComputeSpacingFactor(float splDeviation) {
  const float a = Store(6 + 2 * static_cast<long double>(splDeviation));
  const float b = Store(Pow10(a / 20.0L));
  const float c = Store(std::sqrt(static_cast<long double>(b) * b - 1));
  return Store((2 * static_cast<long double>(c) / kSqrt2) / 2);
}

void ComputeGrid(const RoomInputs& inputs, LayoutResult& result) {
  // The counts use this unrounded spacing, never the whole feet stored last.
  const float spacing = Store(2 * static_cast<long double>(result.spacingFactor) * HeightAboveEar(inputs));
  result.nominalSpacing = spacing;
  result.countX = CountFor(inputs.roomLength, spacing);
  result.spacingX = SpacingFor(inputs.roomLength, result.countX);
  result.countY = CountFor(inputs.roomWidth, spacing);
  result.spacingY = SpacingFor(inputs.roomWidth, result.countY);
  result.totalCount = Store(static_cast<long double>(result.countY) * result.countX);
  result.nominalSpacing = Store(std::floor(static_cast<long double>(spacing)));
}

void ComputePower(const RoomInputs& inputs, float sensitivity, LayoutResult& result) {
  const long double log10Ratio = std::log(kReferenceDistance / HeightAboveEar(inputs)) / std::log(10.0L);
  result.distanceLoss = Store(FloorTranscendental(10 * 20 * log10Ratio) / 10);
  const long double level =
      static_cast<long double>(inputs.targetSpl) - sensitivity - static_cast<long double>(result.distanceLoss);
  result.levelOver1W = Store(std::floor(10 * level) / 10);
  result.powerRequired =
      Store(std::floor(10 * Pow10(static_cast<long double>(result.levelOver1W) / 10)) / 10);
}

float SelectTap(float powerRequired) {
  struct TapRow {
    float low;
    bool lowInclusive;
    float high;
    float tap;
  };
  static constexpr TapRow kRows[] = {
      {0.001f, true, 0.75f, 0.5f}, {0.76f, true, 1.5f, 1},  {1.6f, true, 3, 2},   {3.1f, true, 6, 4},
      {6.1f, true, 12, 8},         {12.1f, true, 24, 16},   {24.1f, true, 48, 32}, {48, false, 64, 64},
  };
  const float p = powerRequired;
  for (const TapRow& row : kRows) {
    const bool aboveLow = row.lowInclusive ? p >= row.low : p > row.low;
    if (aboveLow && p <= row.high) return row.tap;
  }
  return 0;  // also for NaN, which no comparison holds for
}

bool ComputeLayoutFor(const RoomInputs& inputs, LayoutResult& result) {
  return ComputeLayoutFor(inputs, ModelRow(inputs.modelIndex), result);
}

bool ComputeLayoutFor(const RoomInputs& inputs, const LoudspeakerModel& model, LayoutResult& result) {
  if (!(HeightAboveEar(inputs) > 0)) return false;
  LayoutResult next = result;
  next.spacingFactor = ComputeSpacingFactor(inputs.splDeviation);
  ComputeGrid(inputs, next);
  ComputePower(inputs, model.sensitivity, next);
  next.tap = SelectTap(next.powerRequired);
  result = next;
  return true;
}

bool PowerExceeded(const LayoutResult& result, const LoudspeakerModel& model) {
  return model.maxPower < result.powerRequired;
}

bool TapExceeded(const LayoutResult& result, const LoudspeakerModel& model) { return model.maxTap < result.tap; }

}  // namespace halvex

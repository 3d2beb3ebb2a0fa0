// The calculation chain from the room inputs to the loudspeaker grid, the
// power per loudspeaker and the 70 V tap.
//
// Arithmetic: every formula is evaluated in long double (64-bit significand)
// and rounded to float each time a value is stored; every rounding down is
// floor towards minus infinity, and "to 0.1" means floor(10 * x) / 10.
#pragma once

#include "calc/catalogue.h"

namespace halvex {

// Units: feet, dB and watts.
struct RoomInputs {
  float roomLength = 0;     // X direction
  float roomWidth = 0;      // Y direction
  float earLevel = 0;
  float ceilingHeight = 0;  // loudspeaker mounting height
  float targetSpl = 0;      // dB to reach at ear level
  float splDeviation = 0;   // +- dB, 0 to 6
  int modelIndex = 0;       // catalogue row
};

struct LayoutResult {
  float spacingFactor = 0;
  float nominalSpacing = 0;  // whole feet once the grid is done
  float countX = 0;          // counts stay floating point: a huge room gives infinity
  float countY = 0;
  float spacingX = 0;
  float spacingY = 0;
  float totalCount = 0;
  float distanceLoss = 0;
  float levelOver1W = 0;
  float powerRequired = 0;
  float tap = 0;
};

// The single-precision constants of the calculation.
inline constexpr float kRemainderThreshold = 0.8f;  // one more loudspeaker from 0.2 of a spacing on
inline constexpr float kSqrt2 = 1.4142f;
inline constexpr long double kReferenceDistance = 3;  // ft, where the sensitivity holds

// k = sqrt(10^((6 + 2D) / 10) - 1) / 1.4142; 2.724814 for D = 3.
float ComputeSpacingFactor(float splDeviation);

// Reads result.spacingFactor; writes the nominal spacing, counts, spacings and
// total. The height above ear level must be positive.
void ComputeGrid(const RoomInputs& inputs, LayoutResult& result);

// Writes distanceLoss, levelOver1W and powerRequired for a model of the given
// sensitivity. The height above ear level must be positive.
void ComputePower(const RoomInputs& inputs, float sensitivity, LayoutResult& result);

// The 70 V tap for a power: 0.5, 1, 2, 4, 8, 16, 32 or 64 W, or 0 when no
// tap fits (below 0.001 W or above 64 W).
float SelectTap(float powerRequired);

// The whole chain on explicit values. When the ceiling is not above the ear
// level nothing can be derived (the height would divide by zero or feed a
// logarithm a non-positive value): the result is left untouched and false
// comes back.
bool ComputeLayoutFor(const RoomInputs& inputs, LayoutResult& result);
// The same for a model outside the catalogue (a user's library model);
// inputs.modelIndex is not read.
bool ComputeLayoutFor(const RoomInputs& inputs, const LoudspeakerModel& model, LayoutResult& result);

// The limit flags, both strict: a power equal to maxPower is within limits.
bool PowerExceeded(const LayoutResult& result, const LoudspeakerModel& model);
bool TapExceeded(const LayoutResult& result, const LoudspeakerModel& model);

}  // namespace halvex

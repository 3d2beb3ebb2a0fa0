// The coverage of a planar layout: its square grid of loudspeakers of wide
// dispersion, each giving the model's sensitivity at 3 ft with its tap power.
#pragma once

#include "calc/layout.h"
#include "coverage/coverage.h"

namespace halvex {

// Cells at most 0.5 ft (and at most half a spacing) on a side. One
// loudspeaker at distance r gives sensitivity + 10 log10(tap) + 20 log10(3 / r).
// No map (with the reason) for a room without floor area, without a fitting
// tap, or too large to check.
CoverageMap ComputeCoverage(const RoomInputs& inputs, const LayoutResult& result);
// The same for a model outside the catalogue; inputs.modelIndex is not read.
CoverageMap ComputeCoverage(const RoomInputs& inputs, const LoudspeakerModel& model, const LayoutResult& result);

}  // namespace halvex

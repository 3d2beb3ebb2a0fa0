// The coverage check: the direct-sound SPL at ear level over the floor plan,
// from every loudspeaker of the grid.
//
// Model: each loudspeaker is a point source with wide (omnidirectional)
// dispersion, driven at its tap power, giving the model's sensitivity at
// 3 ft with 1 W and losing 6 dB per doubling of distance; the sources add
// as energies (incoherently). Reflections and the reverberant field are
// left out, so real rooms read somewhat louder and more even.
#pragma once

#include <string>
#include <vector>

#include "calc/layout.h"

namespace halvex::plan {

struct CoverageSummary {
  bool computed = false;
  std::string reason;  // why there is no map
  double min = 0;      // dB SPL
  double max = 0;
  double share = 0;  // of the plan within target +- deviation, 0 to 1
};

// The SPL at the centres of equal cells at most 0.5 ft (and at most half a
// spacing) on a side, row by row from the wall along the length.
struct CoverageMap {
  CoverageSummary summary;
  int columns = 0;  // along the length
  int rows = 0;
  double cellLength = 0;  // ft
  double cellWidth = 0;
  std::vector<float> spl;  // rows x columns
  float At(int row, int column) const { return spl[static_cast<std::size_t>(row) * columns + column]; }
};

inline constexpr double kCoverageStep = 0.5;       // ft
inline constexpr double kMaxCoveragePoints = 4e6;  // a 1000 x 1000 ft hall
inline constexpr double kMaxCoverageTerms = 1e9;   // points x loudspeakers, about a second

// The map of one planned room. One loudspeaker at distance r gives
// sensitivity + 10 log10(tap) + 20 log10(3 / r). No map (with the reason) for
// a room without floor area, without a fitting tap, or too large to check.
CoverageMap ComputeCoverage(const RoomInputs& inputs, const LayoutResult& result);

}  // namespace halvex::plan

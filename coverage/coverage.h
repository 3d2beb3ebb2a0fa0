// The direct-sound level at ear level over a room's floor plan, from every
// loudspeaker of a layout: the one engine of both calculators.
//
// Each loudspeaker is a point source at ceiling height; the sources add as
// energies (incoherently); reflections and the reverberant field are left
// out. A source's pressure falls off its axis as cos^n of the angle off the
// axis; n = 0 is a source of wide (omnidirectional) dispersion, as the planar
// models are taken to be.
#pragma once

#include <string>
#include <vector>

namespace halvex {

struct CoverageSummary {
  bool computed = false;
  std::string reason;  // why there is no map
  double min = 0;      // dB SPL
  double max = 0;
  double share = 0;  // of the plan within target +- deviation, 0 to 1
};

// The SPL at the centres of equal cells, row by row from the wall along the
// length.
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

// The loudspeakers as rows across the width: row j at ys[j], its loudspeakers
// at the x positions of the column set rowSet[j]. A square grid has one
// column set, a hexagonal grid two.
struct SourceRows {
  std::vector<std::vector<double>> columnSets;  // ft from the wall along the length
  std::vector<double> ys;                       // ft from the wall along the width
  std::vector<int> rowSet;
  double Count() const;
};

struct CoverageField {
  double length = 0;  // ft
  double width = 0;
  double height = 0;  // from ear level up to the loudspeakers, ft
  int columns = 0;    // cells along the length
  int rows = 0;
  // A source's level is offset + 10 log10(cos^2n(angle) / r²), r in feet.
  double offset = 0;
  double directivity = 0;  // n
  double target = 0;       // dB, for the share within target +- deviation
  double deviation = 0;
};

// Why a map of this size is not computed (too many cells or too much work),
// or nullptr.
const char* CoverageLimit(double cells, double loudspeakers);

// The map. With a directivity the terms come from a table of cos^2n / r² by
// r², accurate to about 0.003 dB; without one every term is summed exactly.
// When the loudspeakers mirror about the room's centre lines, only a half or
// a quarter of the cells is summed and the rest are their mirror images.
CoverageMap ComputeLevels(const CoverageField& field, const SourceRows& sources);

// The same map with every term computed in full at every cell: the yardstick
// of the table and of the mirror images.
CoverageMap ComputeLevelsDirect(const CoverageField& field, const SourceRows& sources);

}  // namespace halvex

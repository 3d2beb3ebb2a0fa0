// The cone calculator's chain: from the room and a loudspeaker's coverage
// angle to a square or hexagonal grid, the power per loudspeaker, its 70 V
// tap and the amplifier, and the level over the listening plane.
//
// The inputs are stored as single precision, as typed fields are; everything
// after them is computed in double.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cone/catalogue.h"
#include "coverage/coverage.h"

namespace halvex::cone {

// How far apart the coverage circles at ear level stand: their radius r
// times 2 (edge to edge), sqrt 2 on a square or sqrt 3 on a hexagonal grid
// (minimum overlap: no point of the floor outside every circle), or 1
// (centre to centre).
enum class Pattern { kEdgeToEdge, kMinimumOverlap, kCentreToCentre };
// Hexagonal: every second row shifted by half a spacing, rows closer.
enum class Grid { kSquare, kHexagonal };

inline constexpr std::array<int, 4> kHeadrooms{0, 3, 6, 10};  // dB

struct ConeInputs {
  float ceilingHeight = 0;  // ft
  float earLevel = 0;
  float roomLength = 0;
  float roomWidth = 0;
  float targetSpl = 0;  // dB at ear level
  int modelIndex = 0;
  Pattern pattern = Pattern::kMinimumOverlap;
  Grid grid = Grid::kSquare;
  int headroom = 0;  // dB
};

enum class ConeStatus {
  kPlanned,
  kCeilingNotAboveEarLevel,
  kCeilingTooLarge,
  kEarLevelTooLarge,
  kLengthTooLarge,
  kWidthTooLarge,
  kSplTooLarge,
};

struct ConeLayout {
  double height = 0;         // ft from ear level to the ceiling
  double radius = 0;         // of the coverage circle at ear level, ft
  double spacing = 0;        // nominal, ft
  double countX = 0;         // along the length, in the full rows
  double rows = 0;           // across the width
  double total = 0;          // loudspeakers
  double spacingX = 0;       // ft; the first loudspeaker half of it from the wall
  double spacingY = 0;       // between rows
  double power = 0;          // W per loudspeaker for the target straight below, with headroom
  double powerShown = 0;     // rounded up to 0.1 W
  double tap = 0;            // W
  bool tapExceeded = false;  // no tap reaches the power: the highest is set
  double load = 0;           // W on the line
  double amplifier = 0;      // W for 80 % loading, rounded up to 0.1
};

// The layout, or why there is none (a non-finite input, the ceiling not
// above the ear level, or a result too large for any count or figure).
// `layout` is written only when the room is planned.
ConeStatus ComputeConeLayout(const ConeInputs& inputs, ConeLayout& layout);
// The same for a model outside the catalogue (a user's library model);
// inputs.modelIndex is not read.
ConeStatus ComputeConeLayout(const ConeInputs& inputs, const ConeModel& model, ConeLayout& layout);

// The words the calculator shows for a status:
//   kCeilingNotAboveEarLevel -> "The ceiling must be above the ear level."
//   kLengthTooLarge          -> "The room length is too large."
std::string ConeStatusText(ConeStatus status);

// A length as shown: to 0.1, half away from zero. 3.75 -> 3.8, 6.666 -> 6.7
double RoundedTenth(double value);

struct Position {
  double x;  // ft from the wall along the length
  double y;  // ft from the wall along the width
};

// Every loudspeaker, row by row from the wall along the width, each row
// along the length. Empty when there are more than `limit`.
std::vector<Position> ConePositions(const ConeLayout& layout, Grid grid, double limit);

// The loudspeakers as rows for the coverage engine (whole and finite counts
// expected).
SourceRows ConeSources(const ConeLayout& layout, Grid grid);

// The level over the listening plane: every loudspeaker at its tap with the
// model's directivity, cells of the smaller of 0.5 ft and half of each
// spacing; the share within target +- deviation.
CoverageMap ComputeConeCoverage(const ConeInputs& inputs, const ConeLayout& layout, double deviation);
CoverageMap ComputeConeCoverage(const ConeInputs& inputs, const ConeModel& model, const ConeLayout& layout,
                                double deviation);

// n of cos^n: 6 dB down at half the coverage angle.
double Directivity(double coverageAngle);

}  // namespace halvex::cone

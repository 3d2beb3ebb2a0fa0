// The loss of a loudspeaker line: the cable's loop resistance in series
// with the zone's load, the whole load assumed at the far end of the longest
// run, which errs on the safe side.
#pragma once

#include <array>
#include <string_view>

namespace halvex::plan {

struct Cable {
  std::string_view name;  // as written in a project: "16AWG", "1.5mm2"
  long double ohmsPerKm;  // one conductor, copper at 20 °C
  int family;             // 0 AWG, 1 metric; the next larger cable is sought in the same family
};

// Copper at 20 °C, one conductor:
// - AWG: NBS Handbook 100, "Copper Wire Tables" (1966), annealed copper of
//   1/58 ohm mm²/m on the ASTM B258 diameters (18 AWG 6.385 ohms per 1000
//   ft = 20.95 ohms/km).
// - mm²: IEC 60228, the maximum resistance of a class 5 (flexible) plain
//   copper conductor, the kind loudspeaker cable is made of.
// Thinnest first within each family.
inline constexpr std::array<Cable, 9> kCables{{
    {"18AWG", 20.95L, 0},
    {"16AWG", 13.17L, 0},
    {"14AWG", 8.286L, 0},
    {"12AWG", 5.211L, 0},
    {"10AWG", 3.277L, 0},
    {"0.75mm2", 26.0L, 1},
    {"1.5mm2", 13.3L, 1},
    {"2.5mm2", 7.98L, 1},
    {"4mm2", 4.95L, 1},
}};

inline constexpr long double kMaxLineLoss = 0.5;  // dB: more is flagged

// The row of a cable written in any case, blanks and "mm²" allowed, or -1:
//   "16awg" -> 1, "1.5 mm²" -> 6, "15AWG" -> -1
int FindCable(std::string_view text);

struct LineLoss {
  long double loopOhms = 0;      // 2 x run x resistance per length
  long double loadOhms = 0;      // V² / sum of taps
  long double lossDb = 0;        // 20 log10((Z + R) / Z)
  long double powerLost = 0;     // per cent of the power the loudspeakers would get without the cable
  bool over = false;             // over kMaxLineLoss
  long double maxRunFeet = 0;    // the longest run within kMaxLineLoss on this cable
  int largerCable = -1;          // the thinnest larger cable of the family within it at this run, or -1
};

// For a run in feet on a cable row, a load of `tapSum` W on a line of
// `volts`. A line without load loses nothing (and any run stays within).
//   100 ft of 16AWG, 60 W at 70.7 V: R = 0.8028, Z = 83.31, 0.08 dB, 1.9 %
LineLoss ComputeLineLoss(long double runFeet, int cable, long double tapSum, long double volts);

}  // namespace halvex::plan

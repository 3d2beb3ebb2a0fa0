// The built-in catalogue of ceiling cone loudspeakers, laid out by their
// coverage angle: a constant table and the only copy of it.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace halvex::cone {

struct ConeModel {
  std::string_view name;
  std::string_view driver;
  double coverageAngle;        // degrees, the full angle of the coverage cone
  double sensitivity;          // dB SPL at 1 m with 1 W
  std::array<double, 6> taps;  // 70.7 V taps in W, ascending; the first tapCount hold
  int tapCount;
  double HighestTap() const { return taps[static_cast<std::size_t>(tapCount) - 1]; }
};

inline constexpr int kConeModelCount = 8;

inline constexpr std::array<ConeModel, kConeModelCount> kConeModels{{
    {"C4", "4\" cone", 110, 87, {0.5, 1, 2, 4, 8, 16}, 6},
    {"C3W", "3\" wide dispersion", 150, 86, {0.75, 1.5, 3, 6}, 4},
    {"C4W", "4\" dual cone", 130, 88, {0.75, 1.5, 3, 6}, 4},
    {"C5", "5\" cone", 120, 89, {0.75, 1.5, 3, 6}, 4},
    {"C6", "6.5\" coaxial", 110, 89, {1, 2, 4, 8, 16, 32}, 6},
    {"C8", "8\" cone", 100, 91, {0.5, 1, 2, 4, 8}, 5},
    {"C8P", "8\" paging", 90, 95, {0.25, 0.5, 1, 2, 4}, 5},
    {"C8X", "8\" coaxial", 110, 92, {1, 2, 4, 8, 16, 32}, 6},
}};

// The row named by the text in any case, or -1:
//   FindConeModel("c8p") == 6;  FindConeModel("C8P ") == -1
int FindConeModel(std::string_view text);

// The row for an index, clamped into the table.
const ConeModel& ConeModelRow(int index);

// The names for a message: "C4, C3W, C4W, C5, C6, C8, C8P or C8X".
std::string ConeModelNames();

}  // namespace halvex::cone

// The fixed catalogue of ceiling loudspeaker models: a constant table, built
// into the program and the only copy of it.
#pragma once

#include <array>
#include <string_view>

namespace halvex {

struct LoudspeakerModel {
  std::string_view name;  // exactly 9 characters; the trailing blanks belong to the name
  float sensitivity;      // dB SPL at 3 ft with 1 W
  float maxPower;         // W
  float maxTap;           // highest 70 V tap, W
};

inline constexpr int kModelCount = 7;
inline constexpr int kNameLength = 9;

inline constexpr std::array<LoudspeakerModel, kModelCount> kCatalogueRows{{
    {"NV40     ", 94, 16, 16},
    {"NV50     ", 94, 16, 16},
    {"JR2A     ", 94, 16, 16},
    {"JR2B     ", 94, 16, 16},
    {"MW3018K  ", 92, 75, 32},
    {"MW3009P  ", 89, 16, 16},
    {"LX7R     ", 90, 60, 32},
}};

// The row whose upper-cased name equals the upper-cased text over its whole
// length (blanks included, nothing trimmed); the last equal row wins, and
// `current` is kept when none is equal.
//   FindModelIndex("nv40     ", 3) == 0;  FindModelIndex("NV40", 3) == 3
int FindModelIndex(std::string_view text, int current);

// The catalogue row for an index, clamped into 0..6 so a stray index can
// never read outside the table.
const LoudspeakerModel& ModelRow(int index);

}  // namespace halvex

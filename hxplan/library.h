// A user's loudspeaker library: models read from a CSV file that join the
// built-in ones, planar and cone alike. A library model's index follows the
// built-in rows of its kind, so a room names it as it names any model.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "calc/catalogue.h"
#include "cone/catalogue.h"

namespace halvex::plan {

// Sensitivities are given at 1 W and 3 ft or 1 m; 1 m is 20 log10(1 / 0.9144)
// = 0.7766 dB further than 3 ft, so 90 dB at 1 W/1m is 90.7766 dB at 1 W/3ft.
long double SensitivityAt3Feet(long double sensitivity, bool atOneMetre);
long double SensitivityAt1Metre(long double sensitivity, bool atThreeFeet);

// The rows of a library file: a header naming kind, model, sensitivity,
// sensitivity_at, max_power, taps and (cone models only) coverage_angle.
// What a model must hold to be planned:
// - a name of 1 to 9 characters, no built-in model's or another row's (in
//   any case) and not a lone digit, which would read as a row number;
// - a sensitivity of 70 to 110 dB at "1W/3ft" or "1W/1m";
// - a max_power above 0 and up to 10,000 W;
// - taps in W at 70.7 V, rising, separated by blanks, at most 6. A planar
//   model's taps are from 0.5, 1, 2, 4, 8, 16, 32 and 64 W, the only taps
//   the planar calculation sets; its highest one is the model's highest tap;
// - a cone model's coverage_angle of 30 to 170 degrees; a planar model
//   spreads without one, so its cell stays empty.
class Library {
 public:
  Library() = default;
  // The models view names the library holds: moved, never copied.
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  Library(Library&&) = default;
  Library& operator=(Library&&) = default;

  // False with "LINE: column 'taps': taps must rise (2 after 4)" for the
  // first row that is refused; nothing is added then.
  bool Read(std::string_view text, std::string& error);

  int PlanarCount() const { return static_cast<int>(planar_.size()); }
  int ConeCount() const { return static_cast<int>(cone_.size()); }
  // The model of an index in the built-in rows followed by the library's;
  // an index beyond both gives the first built-in row.
  const LoudspeakerModel& Planar(int index) const;
  const cone::ConeModel& Cone(int index) const;
  static bool IsLibraryPlanar(int index) { return index >= kModelCount; }
  static bool IsLibraryCone(int index) { return index >= cone::kConeModelCount; }
  // The index of a library model named by the text in any case, or -1.
  int FindPlanar(std::string_view text) const;
  int FindCone(std::string_view text) const;

 private:
  std::deque<std::string> texts_;  // the names the models' views point into
  std::vector<LoudspeakerModel> planar_;
  std::vector<cone::ConeModel> cone_;
};

// The model of an index, built-in or the library's (without a library the
// built-in rows only).
const LoudspeakerModel& PlanarModelOf(const Library* library, int index);
const cone::ConeModel& ConeModelOf(const Library* library, int index);

}  // namespace halvex::plan

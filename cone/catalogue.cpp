#include "cone/catalogue.h"

#include <algorithm>

namespace halvex::cone {

int FindConeModel(std::string_view text) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  for (int row = 0; row < kConeModelCount; ++row) {
    const std::string_view name = kConeModels[static_cast<std::size_t>(row)].name;
    if (name.size() == text.size() &&
        std::equal(name.begin(), name.end(), text.begin(), [&](char a, char b) { return a == upper(b); })) {
      return row;
    }
  }
  return -1;
}

const ConeModel& ConeModelRow(int index) {
  return kConeModels[static_cast<std::size_t>(std::clamp(index, 0, kConeModelCount - 1))];
}

std::string ConeModelNames() {
  std::string names;
  for (int row = 0; row < kConeModelCount; ++row) {
    names += row == 0 ? "" : row + 1 == kConeModelCount ? " or " : ", ";
    names += kConeModels[static_cast<std::size_t>(row)].name;
  }
  return names;
}

}  // namespace halvex::cone

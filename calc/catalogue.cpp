#include "calc/catalogue.h"

#include "calc/layout.h"

namespace halvex {

std::array<LoudspeakerModel, kModelCount> catalogue{};

void SetUpCatalogue() { catalogue = kCatalogueRows; }

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

int FindModelIndex(std::string_view text, int current) {
  int index = current;
  for (int row = 0; row < kModelCount; ++row) {
    if (EqualIgnoringCase(text, kCatalogueRows[row].name)) index = row;
  }
  return index;
}

void FindModel(std::string_view text) { room.modelIndex = FindModelIndex(text, room.modelIndex); }

const LoudspeakerModel& ModelRow(int index) {
  if (index < 0) index = 0;
  if (index >= kModelCount) index = kModelCount - 1;
  // Before set-up the program-wide table is empty; fall back to the fixed rows.
  return catalogue[index].name.empty() ? kCatalogueRows[index] : catalogue[index];
}

}  // namespace halvex

#include "calc/catalogue.h"

namespace halvex {

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

const LoudspeakerModel& ModelRow(int index) {
  if (index < 0) index = 0;
  if (index >= kModelCount) index = kModelCount - 1;
  return kCatalogueRows[index];
}

}  // namespace halvex

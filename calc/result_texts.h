// The texts under which the calculator shows a layout result, shared by the
// window and the command-line planner so both always say the same.
#pragma once

#include <optional>
#include <string>

#include "calc/catalogue.h"
#include "calc/layout.h"

namespace halvex {

inline constexpr int kDisplayDigits = 7;

// A number as every result field shows it: 7 significant digits, signed form.
std::string FormatResult(long double value);

// A count is "more than one" when, rounded down, it is greater than 1.
bool MoreThanOne(float count);

struct DiagramTexts {
  std::string firstX;                   // spacingX / 2, halved in extended precision
  std::optional<std::string> spacingX;  // only while countX is more than one
  std::string firstY;
  std::optional<std::string> spacingY;
  std::string totalCount;  // empty while both spacings are exactly 0
  std::string nominalSpacing;
};

DiagramTexts FormatDiagram(const LayoutResult& result);

struct ModelTexts {
  std::string sensitivity;
  std::string powerRequired;
  std::string maxPower;
  std::string tap;
};

ModelTexts FormatModelResults(const LayoutResult& result, const LoudspeakerModel& model);

}  // namespace halvex

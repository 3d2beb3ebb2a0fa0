#include "calc/result_texts.h"

#include <cmath>

#include "common/number_text.h"

namespace halvex {

std::string FormatResult(long double value) { return FormatNumber(value, kDisplayDigits, true); }

bool MoreThanOne(float count) { return std::floor(count) > 1; }

DiagramTexts FormatDiagram(const LayoutResult& result) {
  DiagramTexts texts;
  texts.firstX = FormatResult(static_cast<long double>(result.spacingX) / 2);
  if (MoreThanOne(result.countX)) texts.spacingX = FormatResult(result.spacingX);
  texts.firstY = FormatResult(static_cast<long double>(result.spacingY) / 2);
  if (MoreThanOne(result.countY)) texts.spacingY = FormatResult(result.spacingY);
  if (!(result.spacingX == 0 && result.spacingY == 0)) texts.totalCount = FormatResult(result.totalCount);
  texts.nominalSpacing = FormatResult(result.nominalSpacing);
  return texts;
}

ModelTexts FormatModelResults(const LayoutResult& result, const LoudspeakerModel& model) {
  return {FormatResult(model.sensitivity), FormatResult(result.powerRequired), FormatResult(model.maxPower),
          FormatResult(result.tap)};
}

}  // namespace halvex

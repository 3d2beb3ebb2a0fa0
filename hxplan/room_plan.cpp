#include "hxplan/room_plan.h"

#include <cmath>

#include "calc/result_texts.h"
#include "common/number_text.h"

namespace halvex::plan {

float LengthInFeet(std::string_view text, bool metric) {
  const long double value = std::fabs(ParseNumber(text));
  return static_cast<float>(metric ? value / kMetresPerFoot : value);
}

std::string LengthText(long double feet, bool metric) {
  if (!metric) return FormatNumber(feet, kDisplayDigits, false);
  return FormatNumber(std::floor(feet * kMetresPerFoot * 1000 + 0.5L) / 1000, kDisplayDigits, false);
}

long long DimensionHundredths(long double feet, bool metric) {
  return static_cast<long long>(std::floor((metric ? feet * kMetresPerFoot : feet) * 100 + 0.5L));
}

std::string DimensionText(long double feet, bool metric) { return HundredthsText(DimensionHundredths(feet, metric)); }

std::string HundredthsText(long long hundredths) {
  // Written out directly as FormatNumber would write it (no "0" before the
  // point, no trailing zeros): a project writes millions of these.
  if (!(hundredths >= 0 && hundredths < 10000000)) {
    return FormatNumber(static_cast<long double>(hundredths) / 100, kDisplayDigits, false);
  }
  std::string text = hundredths >= 100 || hundredths == 0 ? std::to_string(hundredths / 100) : std::string();
  const int fraction = static_cast<int>(hundredths % 100);
  if (fraction != 0) {
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
  }
  return text;
}

std::string AreaText(long double squareFeet, bool metric) {
  if (!metric) return FormatNumber(squareFeet, kDisplayDigits, false);
  const long double squareMetres = squareFeet * kMetresPerFoot * kMetresPerFoot;
  return FormatNumber(std::floor(squareMetres * 100 + 0.5L) / 100, kDisplayDigits, false);
}

const char* LengthUnit(bool metric) { return metric ? "m" : "ft"; }
const char* AreaUnit(bool metric) { return metric ? "m²" : "ft²"; }

std::vector<long double> GridPositions(float count, float spacing, float limit) {
  std::vector<long double> positions;
  if (!(count >= 1 && count <= limit) || std::floor(count) != count) return positions;
  positions.reserve(static_cast<std::size_t>(count));
  const long double first = static_cast<long double>(spacing) / 2;
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
    positions.push_back(first + i * static_cast<long double>(spacing));
  return positions;
}

std::string DecibelText(double level) {
  return FormatNumber(std::floor(static_cast<long double>(level) * 10 + 0.5L) / 10, kDisplayDigits, false);
}

std::string PercentText(double share) {
  return FormatNumber(std::floor(static_cast<long double>(share) * 1000) / 10, kDisplayDigits, false);
}

namespace {

// The spread of the shown levels, so that the three figures agree.
long double ShownSpread(const CoverageSummary& coverage) {
  return std::floor(static_cast<long double>(coverage.max) * 10 + 0.5L) / 10 -
         std::floor(static_cast<long double>(coverage.min) * 10 + 0.5L) / 10;
}

}  // namespace

std::string WhyNotARoom(const RoomInputs& inputs, bool metric) {
  const struct {
    const char* name;
    float value;
    bool side;
  } values[] = {{"length", inputs.roomLength, true},
                {"width", inputs.roomWidth, true},
                {"ear_level", inputs.earLevel, false},
                {"ceiling", inputs.ceilingHeight, false},
                {"spl", inputs.targetSpl, false}};
  for (const auto& v : values) {
    const std::string name = v.name;
    if (!std::isfinite(v.value)) return name + " is beyond the range of a single-precision number";
    if (v.side && !(v.value > 0)) return name + " must be above 0";
    if (name != "spl" && v.value > kMaxSide) {
      return name + " " + LengthText(v.value, metric) + " " + LengthUnit(metric) + " is beyond the largest room (" +
             LengthText(kMaxSide, metric) + " " + LengthUnit(metric) + ")";
    }
  }
  return {};
}

std::string WhyTooLarge(const RoomPlan& room) {
  const long double count = room.cone ? room.coneLayout.total : room.result.totalCount;
  const long double power = room.cone ? room.coneLayout.powerShown : room.result.powerRequired;
  if (!(count <= kMaxPlannedLoudspeakers)) {
    return FormatNumber(count, kDisplayDigits, false) + " loudspeakers: more than the " +
           FormatNumber(kMaxPlannedLoudspeakers, kDisplayDigits, false) + " a room's plan takes";
  }
  if (!std::isfinite(power)) return "the power required is beyond any number: check the spl";
  return {};
}

bool CoverageFails(const CoverageSummary& coverage, const RoomInputs& inputs) {
  return coverage.computed && (ShownSpread(coverage) > 2 * static_cast<long double>(inputs.splDeviation) ||
                               !(coverage.share > 0));
}

std::string CoverageText(const CoverageSummary& coverage, const RoomInputs& inputs) {
  if (!coverage.computed) return "not checked: " + coverage.reason;
  const std::string deviation = FormatNumber(inputs.splDeviation, kDisplayDigits, false);
  const long double spread = ShownSpread(coverage);
  return DecibelText(coverage.min) + " to " + DecibelText(coverage.max) + " dB, spread " +
         FormatNumber(spread, kDisplayDigits, false) + " dB (+-" + deviation + " allows " +
         FormatNumber(2 * static_cast<long double>(inputs.splDeviation), kDisplayDigits, false) + "), " +
         PercentText(coverage.share) + " % within " + FormatNumber(inputs.targetSpl, kDisplayDigits, false) + " +-" +
         deviation + " dB";
}

}  // namespace halvex::plan

// The whole calculation on any room. Input: text like a calculator command
// line, "ceiling,ear level,length,width,SPL,deviation,model row"; a missing
// field takes the start-up value. Each value goes through ParseNumber into a
// float, once as it stands (as the calculator takes its start-up values) and
// once without its sign (as it takes a typed value), and both rooms are
// calculated.
//
// Properties: the calculation refuses, leaving the result untouched, exactly
// when the ceiling is not above the ear level; a height above the ear level
// that is infinite gives an infinite power (and minus infinity as the loss)
// for any finite SPL; finite moderate inputs give finite results with at
// least one loudspeaker each way; the power is never negative and the tap is
// one of the taps.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "calc/layout.h"
#include "common/number_text.h"
#include "fuzz/fuzz_check.h"
#include "handoff/handoff.h"

namespace {

using halvex::LayoutResult;
using halvex::RoomInputs;

constexpr const char* kStartUpValues[] = {"9", "5", "20", "15", "90", "3", "0"};
constexpr int kFieldCount = 7;

float Read(const std::string& text, bool withoutSign) {
  const long double value = halvex::ParseNumber(text);
  return static_cast<float>(withoutSign ? std::fabs(value) : value);
}

RoomInputs InputsFrom(const std::vector<std::string>& fields, bool withoutSign) {
  float values[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    values[i] = Read(index < fields.size() ? fields[index] : kStartUpValues[i], withoutSign);
  }
  RoomInputs inputs;
  inputs.ceilingHeight = values[0];
  inputs.earLevel = values[1];
  inputs.roomLength = values[2];
  inputs.roomWidth = values[3];
  inputs.targetSpl = values[4];
  inputs.splDeviation = values[5];
  // Any row number; the calculation clamps a stray one itself.
  inputs.modelIndex = std::isfinite(values[6]) && std::fabs(values[6]) < 1e6f ? static_cast<int>(values[6]) : 0;
  return inputs;
}

bool Within(float value, float low, float high) { return value >= low && value <= high; }

// Finite inputs small enough that nothing overflows or divides by zero: the
// height above the ear level from a millionth of a foot on.
bool IsModerate(const RoomInputs& in) {
  const float kLarge = 1e6f;
  return Within(in.roomLength, -kLarge, kLarge) && Within(in.roomWidth, -kLarge, kLarge) &&
         Within(in.earLevel, -kLarge, kLarge) && Within(in.ceilingHeight, -kLarge, kLarge) &&
         static_cast<long double>(in.ceilingHeight) - in.earLevel >= 1e-6L && Within(in.targetSpl, -kLarge, 200) &&
         Within(in.splDeviation, 0, 6);
}

std::string Describe(const RoomInputs& in) {
  char text[200];
  std::snprintf(text, sizeof text, "ceiling %a, ear level %a, length %a, width %a, SPL %a, deviation %a, row %d",
                static_cast<double>(in.ceilingHeight), static_cast<double>(in.earLevel),
                static_cast<double>(in.roomLength), static_cast<double>(in.roomWidth),
                static_cast<double>(in.targetSpl), static_cast<double>(in.splDeviation), in.modelIndex);
  return text;
}

void Check(const RoomInputs& inputs) {
  const std::string about = Describe(inputs);
  LayoutResult result;
  result.spacingFactor = result.nominalSpacing = result.countX = result.countY = result.spacingX = 12345;
  result.spacingY = result.totalCount = result.distanceLoss = result.levelOver1W = 12345;
  result.powerRequired = result.tap = 12345;
  const LayoutResult before = result;

  const bool computed = halvex::ComputeLayoutFor(inputs, result);
  FUZZ_CHECK(computed == (inputs.ceilingHeight > inputs.earLevel), about);
  if (!computed) {
    FUZZ_CHECK(std::memcmp(&result, &before, sizeof result) == 0, about + ": refused, but the result changed");
    return;
  }

  const long double height = static_cast<long double>(inputs.ceilingHeight) - inputs.earLevel;
  if (std::isinf(height) && std::isfinite(inputs.targetSpl)) {
    FUZZ_CHECK(result.distanceLoss == -INFINITY && result.powerRequired == INFINITY,
               about + ": loss " + std::to_string(result.distanceLoss) + ", power " +
                   std::to_string(result.powerRequired));
  }
  FUZZ_CHECK(!(result.powerRequired < 0), about + ": power " + std::to_string(result.powerRequired));
  const float taps[] = {0, 0.5f, 1, 2, 4, 8, 16, 32, 64};
  FUZZ_CHECK(std::find(std::begin(taps), std::end(taps), result.tap) != std::end(taps),
             about + ": tap " + std::to_string(result.tap));

  if (IsModerate(inputs)) {
    const float fields[] = {result.spacingFactor, result.nominalSpacing, result.countX,       result.countY,
                            result.spacingX,      result.spacingY,       result.totalCount,   result.distanceLoss,
                            result.levelOver1W,   result.powerRequired,  result.tap};
    for (const float field : fields) FUZZ_CHECK(std::isfinite(field), about + ": a result is not finite");
    FUZZ_CHECK(result.countX >= 1 && result.countY >= 1 && result.totalCount >= 1,
               about + ": counts " + std::to_string(result.countX) + " x " + std::to_string(result.countY));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = halvex::fuzz::AsText(data, size);
  // Fields as a calculator splits its command line; a value ends at a NUL,
  // as anywhere it is shown.
  const std::vector<std::string> fields = halvex::handoff::SplitArguments(text.substr(0, text.find('\0')));
  Check(InputsFrom(fields, false));
  Check(InputsFrom(fields, true));
  return 0;
}

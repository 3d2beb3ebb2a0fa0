#include "hxplan/plan.h"

#include <cmath>
#include <optional>

#include "calc/result_texts.h"
#include "common/number_text.h"
#include "hxplan/texts.h"

namespace halvex::plan {

// Why a room cannot be planned: the ceiling is not above the ear level, or
// both are beyond single precision, where no height between them is known.
std::string WhyNotPlanned(const RoomInputs& inputs) {
  if (std::isinf(inputs.ceilingHeight) && std::isinf(inputs.earLevel)) {
    return "ceiling height and ear level are both too large to calculate with (above 3.4E+38 ft)";
  }
  return "ear level must be below the ceiling height";
}

RoomInputs InputsFor(const Options& options) {
  auto read = [](const std::string& text) { return static_cast<float>(std::fabs(ParseNumber(text))); };
  RoomInputs inputs;
  inputs.ceilingHeight = read(options.values[handoff::kCeilingValue]);
  inputs.earLevel = read(options.values[handoff::kEarLevelValue]);
  inputs.roomLength = read(options.values[handoff::kLengthValue]);
  inputs.roomWidth = read(options.values[handoff::kWidthValue]);
  inputs.targetSpl = read(options.values[handoff::kSplValue]);
  inputs.splDeviation = static_cast<float>(options.deviation);
  inputs.modelIndex = options.modelIndex;
  return inputs;
}

std::string PlainPlan(const RoomInputs& inputs, const LayoutResult& result) {
  return PlainPlan(inputs, ModelRow(inputs.modelIndex), result);
}

std::string JsonPlan(const RoomInputs& inputs, const LayoutResult& result) {
  return JsonPlan(inputs, ModelRow(inputs.modelIndex), result);
}

std::string PlainPlan(const RoomInputs& inputs, const LoudspeakerModel& model, const LayoutResult& result) {
  const DiagramTexts diagram = FormatDiagram(result);
  const std::string name = TrimmedName(model.name);
  auto spacing = [](const std::optional<std::string>& text) {
    return text ? text->substr(1) + " ft" : std::string("one loudspeaker");
  };
  std::string out;
  out += "Room              " + Bare(inputs.roomLength) + " x " + Bare(inputs.roomWidth) + " ft, ear level " +
         Bare(inputs.earLevel) + " ft, ceiling " + Bare(inputs.ceilingHeight) + " ft\n";
  out +=
      "Target            " + Bare(inputs.targetSpl) + " dB SPL at ear level, +-" + Bare(inputs.splDeviation) + " dB\n";
  out += "Loudspeakers      " + Bare(result.countX) + " along the length x " + Bare(result.countY) +
         " along the width = " + Bare(result.totalCount) + "\n";
  out += "Spacing           length " + spacing(diagram.spacingX) + ", width " + spacing(diagram.spacingY) + "\n";
  out += "First loudspeaker " + diagram.firstX.substr(1) + " ft from the wall along the length, " +
         diagram.firstY.substr(1) + " ft along the width\n";
  out += "Nominal spacing   " + Bare(result.nominalSpacing) + " ft\n";
  out += "Model             " + name + ": sensitivity " + Bare(model.sensitivity) + " dB (1 W at 3 ft), max power " +
         Bare(model.maxPower) + " W\n";
  out += "Power required    " + Bare(result.powerRequired) + " W per loudspeaker" +
         (PowerExceeded(result, model) ? "  (over the model's maximum)" : "") + "\n";
  out += "70 V tap          " + Bare(result.tap) + " W" +
         (TapExceeded(result, model) ? "  (above the model's highest tap)" : "") + "\n";
  if (PowerExceeded(result, model) || TapExceeded(result, model)) {
    out += "Warning           Power required exceeds Max. Power Handling\n";
  }
  return out;
}

std::string JsonPlan(const RoomInputs& inputs, const LoudspeakerModel& model, const LayoutResult& result) {
  const DiagramTexts diagram = FormatDiagram(result);
  const ModelTexts figures = FormatModelResults(result, model);
  const bool powerExceeded = PowerExceeded(result, model);
  const bool tapExceeded = TapExceeded(result, model);
  return JsonObject({
      {"firstX", Quote(diagram.firstX)},
      {"spacingX", QuoteOrNull(diagram.spacingX)},
      {"firstY", Quote(diagram.firstY)},
      {"spacingY", QuoteOrNull(diagram.spacingY)},
      {"totalCount", Quote(diagram.totalCount)},
      {"nominalSpacing", Quote(diagram.nominalSpacing)},
      {"sensitivity", Quote(figures.sensitivity)},
      {"powerRequired", Quote(figures.powerRequired)},
      {"maxPower", Quote(figures.maxPower)},
      {"tap", Quote(figures.tap)},
      {"powerExceeded", JsonFlag(powerExceeded)},
      {"tapExceeded", JsonFlag(tapExceeded)},
      {"warning", JsonFlag(powerExceeded || tapExceeded)},
      {"model", Quote(std::string(model.name))},
      {"deviation", Quote(FormatResult(inputs.splDeviation))},
      {"countX", Quote(FormatResult(result.countX))},
      {"countY", Quote(FormatResult(result.countY))}
  });
}

}  // namespace halvex::plan

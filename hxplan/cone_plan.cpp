#include "hxplan/cone_plan.h"

#include <cmath>

#include "common/number_text.h"
#include "hxplan/room_plan.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

std::string Tenth(double value) { return Bare(cone::RoundedTenth(value)); }

std::string Feet(double feet) { return ConeLengthText(feet, false); }

std::string LevelText(const CoverageMap& map, int deviation, float target) {
  const CoverageSummary& c = map.summary;
  if (!c.computed) return "not computed: " + c.reason;
  return DecibelText(c.min) + " to " + DecibelText(c.max) + " dB, spread " +
         Bare(std::round(c.max * 10) / 10 - std::round(c.min * 10) / 10) + " dB, " + PercentText(c.share) +
         " % within " + Bare(target) + " +-" + std::to_string(deviation) + " dB";
}

}  // namespace

std::string ConeLengthText(double feet, bool metric) {
  return metric ? Bare(std::round(feet * static_cast<double>(kMetresPerFoot) * 100) / 100) : Tenth(feet);
}

cone::ConeInputs ConeInputsFor(const Options& options) {
  auto read = [](const std::string& text) { return static_cast<float>(std::fabs(ParseNumber(text))); };
  cone::ConeInputs inputs;
  inputs.ceilingHeight = read(options.values[handoff::kCeilingValue]);
  inputs.earLevel = read(options.values[handoff::kEarLevelValue]);
  inputs.roomLength = read(options.values[handoff::kLengthValue]);
  inputs.roomWidth = read(options.values[handoff::kWidthValue]);
  inputs.targetSpl = read(options.values[handoff::kSplValue]);
  inputs.modelIndex = options.modelIndex;
  inputs.pattern = options.pattern;
  inputs.grid = options.grid;
  inputs.headroom = options.headroom;
  return inputs;
}

std::string PlainConePlan(const cone::ConeInputs& inputs, const cone::ConeLayout& layout, const CoverageMap& map,
                          int deviation) {
  return PlainConePlan(inputs, cone::ConeModelRow(inputs.modelIndex), layout, map, deviation);
}

std::string JsonConePlan(const cone::ConeInputs& inputs, const cone::ConeLayout& layout, const CoverageMap& map,
                         int deviation) {
  return JsonConePlan(inputs, cone::ConeModelRow(inputs.modelIndex), layout, map, deviation);
}

std::string PlainConePlan(const cone::ConeInputs& inputs, const cone::ConeModel& model, const cone::ConeLayout& layout,
                          const CoverageMap& map, int deviation) {
  const bool hexagonal = inputs.grid == cone::Grid::kHexagonal;
  std::string out;
  out += "Room              " + Bare(inputs.roomLength) + " x " + Bare(inputs.roomWidth) + " ft, ear level " +
         Bare(inputs.earLevel) + " ft, ceiling " + Bare(inputs.ceilingHeight) + " ft\n";
  out += "Target            " + Bare(inputs.targetSpl) + " dB SPL at ear level, headroom " +
         std::to_string(inputs.headroom) + " dB\n";
  out += "Model             " + std::string(model.name) + ": " + std::string(model.driver) + ", coverage " +
         Bare(model.coverageAngle) + " degrees, sensitivity " + Bare(model.sensitivity) + " dB (1 W at 1 m)\n";
  out += "Layout            " + std::string(PatternName(inputs.pattern)) + ", " + GridName(inputs.grid) + " grid\n";
  out += "Coverage radius   " + Feet(layout.radius) + " ft at ear level\n";
  out += "Nominal spacing   " + Feet(layout.spacing) + " ft\n";
  std::string count =
      Bare(layout.countX) + " along the length x " + Bare(layout.rows) + " rows = " + Bare(layout.total);
  if (hexagonal && layout.countX > 1 && layout.rows > 1) {
    count += " (" + Bare(layout.countX) + " and " + Bare(layout.countX - 1) + " in turn)";
  }
  out += "Loudspeakers      " + count + "\n";
  out += "Spacing           " + Feet(layout.spacingX) + " ft along the length, " + Feet(layout.spacingY) +
         " ft between rows\n";
  out += "First loudspeaker " + Feet(layout.spacingX / 2) + " ft from the wall along the length, " +
         Feet(layout.spacingY / 2) + " ft along the width\n";
  out += "Power required    " + Bare(layout.powerShown) + " W per loudspeaker\n";
  out += "70 V tap          " + Bare(layout.tap) + " W" + (layout.tapExceeded ? "  (the highest tap)" : "") + "\n";
  out +=
      "Line              load " + Bare(layout.load) + " W, amplifier " + Bare(layout.amplifier) + " W (80 % loading)\n";
  out += "Level             " + LevelText(map, deviation, inputs.targetSpl) + "\n";
  if (layout.tapExceeded) {
    out += "Warning           More power than the highest tap: use more loudspeakers or a louder model.\n";
  }
  return out;
}

std::string JsonConePlan(const cone::ConeInputs& inputs, const cone::ConeModel& model, const cone::ConeLayout& layout,
                         const CoverageMap& map, int deviation) {
  auto tenth = [](double value) { return JsonNumber(Tenth(value)); };
  std::string level;
  const CoverageSummary& c = map.summary;
  if (c.computed) {
    level = "{\"min\": " + JsonNumber(DecibelText(c.min)) + ", \"max\": " + JsonNumber(DecibelText(c.max)) +
            ", \"spread\": " + JsonNumber(Bare(std::round(c.max * 10) / 10 - std::round(c.min * 10) / 10)) +
            ", \"share\": " + JsonNumber(PercentText(c.share)) + ", \"deviation\": " + std::to_string(deviation) + "}";
  } else {
    level = "{\"reason\": " + Quote(c.reason) + "}";
  }
  return JsonObject({
      {"kind", "\"cone\""},
      {"model", Quote(std::string(model.name))},
      {"coverageAngle", JsonNumber(model.coverageAngle)},
      {"sensitivity", JsonNumber(model.sensitivity)},
      {"pattern", Quote(PatternName(inputs.pattern))},
      {"grid", Quote(GridName(inputs.grid))},
      {"headroom", std::to_string(inputs.headroom)},
      {"height", tenth(layout.height)},
      {"radius", tenth(layout.radius)},
      {"nominalSpacing", tenth(layout.spacing)},
      {"countX", JsonNumber(layout.countX)},
      {"rows", JsonNumber(layout.rows)},
      {"totalCount", JsonNumber(layout.total)},
      {"spacingX", tenth(layout.spacingX)},
      {"spacingY", tenth(layout.spacingY)},
      {"firstX", tenth(layout.spacingX / 2)},
      {"firstY", tenth(layout.spacingY / 2)},
      {"powerRequired", JsonNumber(layout.powerShown)},
      {"tap", JsonNumber(layout.tap)},
      {"tapExceeded", JsonFlag(layout.tapExceeded)},
      {"load", JsonNumber(layout.load)},
      {"amplifier", JsonNumber(layout.amplifier)},
      {"level", level}
  });
}

}  // namespace halvex::plan

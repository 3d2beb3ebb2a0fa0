#include "hxplan/plan.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "calc/result_texts.h"
#include "common/number_text.h"
#include "halvex/version.h"
#include "hxplan/project.h"

namespace halvex::plan {

namespace {

constexpr const char* kValueNames = "ceiling height, ear level, room length, room width, SPL";

}  // namespace

std::string Bare(long double value) { return FormatNumber(value, kDisplayDigits, false); }

bool ParseDeviation(const std::string& text, int& deviation) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '6') return false;
  deviation = text[0] - '0';
  return true;
}

bool ParseModel(const std::string& text, int& modelIndex) {
  if (text.size() <= static_cast<std::size_t>(kNameLength)) {
    std::string padded = text;
    padded.resize(kNameLength, ' ');
    const int found = FindModelIndex(padded, -1);
    if (found >= 0) {
      modelIndex = found;
      return true;
    }
  }
  if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kModelCount) {
    modelIndex = text[0] - '0';
    return true;
  }
  return false;
}

// Takes the value of an option given as "--name value" or "--name=value".
bool OptionValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
                 std::string& value, bool& matched, std::string& error) {
  const std::string& argument = arguments[i];
  if (argument == name) {
    matched = true;
    if (i + 1 >= arguments.size()) {
      error = name + " needs a value";
      return false;
    }
    value = arguments[++i];
    return true;
  }
  if (argument.compare(0, name.size() + 1, name + "=") == 0) {
    matched = true;
    value = argument.substr(name.size() + 1);
    return true;
  }
  matched = false;
  return true;
}

std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// Why a room cannot be planned: the ceiling is not above the ear level, or
// both are beyond single precision, where no height between them is known.
std::string WhyNotPlanned(const RoomInputs& inputs) {
  if (std::isinf(inputs.ceilingHeight) && std::isinf(inputs.earLevel)) {
    return "ceiling height and ear level are both too large to calculate with (above 3.4E+38 ft)";
  }
  return "ear level must be below the ceiling height";
}

std::string QuoteOrNull(const std::optional<std::string>& text) { return text ? Quote(*text) : "null"; }

std::string TrimmedName(std::string_view name) {
  const std::size_t end = name.find_last_not_of(' ');
  return std::string(name.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

bool ParseArguments(const std::vector<std::string>& arguments, Options& options, std::string& error) {
  std::vector<std::string> values;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      values.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--json") {
      options.json = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      continue;
    }
    if (argument == "--version") {
      options.version = true;
      continue;
    }
    std::string value;
    bool matched = false;
    if (!ParseProjectOption(arguments, i, options, matched, error)) return false;
    if (matched) continue;
    if (!OptionValue(arguments, i, "--deviation", value, matched, error)) return false;
    if (matched) {
      if (!ParseDeviation(value, options.deviation)) {
        error = "deviation must be a whole number from 0 to 6, not '" + value + "'";
        return false;
      }
      continue;
    }
    if (!OptionValue(arguments, i, "--model", value, matched, error)) return false;
    if (matched) {
      if (!ParseModel(value, options.modelIndex)) {
        error = "unknown model '" + value + "' (try --help for the catalogue)";
        return false;
      }
      continue;
    }
    error = "unknown option '" + argument + "' (put -- before a value that begins with a minus sign)";
    return false;
  }

  if (values.size() == 1) values = handoff::SplitArguments(values[0]);
  if (values.empty()) return true;  // the default room
  if (values.size() != handoff::kValueCount) {
    error = "expected 5 room values (" + std::string(kValueNames) + "), got " + std::to_string(values.size());
    return false;
  }
  for (int i = 0; i < handoff::kValueCount; ++i) options.values[i] = values[i];
  return true;
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
  const LoudspeakerModel& model = ModelRow(inputs.modelIndex);
  const DiagramTexts diagram = FormatDiagram(result);
  const std::string name = TrimmedName(model.name);
  auto spacing = [](const std::optional<std::string>& text) {
    return text ? text->substr(1) + " ft" : std::string("one loudspeaker");
  };
  std::string out;
  out += "Room              " + Bare(inputs.roomLength) + " x " + Bare(inputs.roomWidth) + " ft, ear level " +
         Bare(inputs.earLevel) + " ft, ceiling " + Bare(inputs.ceilingHeight) + " ft\n";
  out += "Target            " + Bare(inputs.targetSpl) + " dB SPL at ear level, +-" + Bare(inputs.splDeviation) +
         " dB\n";
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

std::string JsonPlan(const RoomInputs& inputs, const LayoutResult& result) {
  const LoudspeakerModel& model = ModelRow(inputs.modelIndex);
  const DiagramTexts diagram = FormatDiagram(result);
  const ModelTexts figures = FormatModelResults(result, model);
  const bool powerExceeded = PowerExceeded(result, model);
  const bool tapExceeded = TapExceeded(result, model);
  auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
  return "{\n"
         "  \"firstX\": " + Quote(diagram.firstX) + ",\n"
         "  \"spacingX\": " + QuoteOrNull(diagram.spacingX) + ",\n"
         "  \"firstY\": " + Quote(diagram.firstY) + ",\n"
         "  \"spacingY\": " + QuoteOrNull(diagram.spacingY) + ",\n"
         "  \"totalCount\": " + Quote(diagram.totalCount) + ",\n"
         "  \"nominalSpacing\": " + Quote(diagram.nominalSpacing) + ",\n"
         "  \"sensitivity\": " + Quote(figures.sensitivity) + ",\n"
         "  \"powerRequired\": " + Quote(figures.powerRequired) + ",\n"
         "  \"maxPower\": " + Quote(figures.maxPower) + ",\n"
         "  \"tap\": " + Quote(figures.tap) + ",\n"
         "  \"powerExceeded\": " + flag(powerExceeded) + ",\n"
         "  \"tapExceeded\": " + flag(tapExceeded) + ",\n"
         "  \"warning\": " + flag(powerExceeded || tapExceeded) + ",\n"
         "  \"model\": " + Quote(std::string(model.name)) + ",\n"
         "  \"deviation\": " + Quote(FormatResult(inputs.splDeviation)) + ",\n"
         "  \"countX\": " + Quote(FormatResult(result.countX)) + ",\n"
         "  \"countY\": " + Quote(FormatResult(result.countY)) + "\n"
         "}\n";
}

std::string Usage() {
  std::string out =
      "Usage: hxplan [options] [--] CEILING,EAR,LENGTH,WIDTH,SPL\n"
      "       hxplan [options] [--] CEILING EAR LENGTH WIDTH SPL\n"
      "\n"
      "Plans a square grid of ceiling loudspeakers for a rectangular room, as the\n"
      "Planar Speaker Layout calculator does. Heights and lengths in feet, SPL in dB\n"
      "at ear level. Without values the default room 9,5,20,15,90 is planned.\n"
      "A value is read as the calculator reads a typed field: its number, sign\n"
      "dropped; text that is not a number reads as 0.\n"
      "\n"
      "Options:\n"
      "  --deviation D  allowed SPL deviation, +-D dB, a whole number 0 to 6 (default 3)\n"
      "  --model M      loudspeaker model by name (any case) or by row 0 to 6 (default 0)\n"
      "  --json         print the texts the calculator window shows, as one JSON object\n"
      "  --help         show this help\n"
      "  --version      show the version\n"
      "  --             end of options (for values that begin with a minus sign)\n";
  out += ProjectUsage() + "\nModels:\n";
  for (int row = 0; row < kModelCount; ++row) {
    const LoudspeakerModel& model = kCatalogueRows[row];
    out += "  " + std::to_string(row) + "  " + std::string(model.name) + " sensitivity " + Bare(model.sensitivity) +
           " dB, max power " + Bare(model.maxPower) + " W, highest tap " + Bare(model.maxTap) + " W\n";
  }
  out +=
      "\nExit status: 0 planned, 1 the plan could not be written, 2 bad use or a room\n"
      "that cannot be planned (ear level not below the ceiling).\n";
  return out;
}

int Run(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
  Options options;
  std::string error;
  if (!ParseArguments(arguments, options, error)) {
    err = "hxplan: " + Printable(error) + "\n";
    return 2;
  }
  if (options.help) {
    out = Usage();
    return 0;
  }
  if (options.version) {
    out = std::string("hxplan ") + HALVEX_VERSION + "\n";
    return 0;
  }
  if (UsesProjectOptions(options)) return RunProject(options, out, err);
  const RoomInputs inputs = InputsFor(options);
  LayoutResult result;
  if (!ComputeLayoutFor(inputs, result)) {
    err = "hxplan: " + WhyNotPlanned(inputs) + "\n";
    return 2;
  }
  out = options.json ? JsonPlan(inputs, result) : PlainPlan(inputs, result);
  return 0;
}

}  // namespace halvex::plan

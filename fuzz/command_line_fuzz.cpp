// The calculator's command line on any bytes: the program name is dropped
// and the argument text split into fields. Properties: nothing is read past
// the line, the argument text is the line's end and starts with no blank,
// there is one field more than splitting commas, an unquoted field has no
// blank at either end and a quoted one no quote; and the first five fields,
// made plain (no commas, quotes or outer blanks) and passed on by the
// launcher's BuildCommandLine, come back unchanged whenever the line is not
// cut.
#include "fuzz/fuzz_check.h"
#include "handoff/handoff.h"

namespace {

using halvex::fuzz::ExactCopy;
using halvex::fuzz::Shown;
namespace handoff = halvex::handoff;

std::string ShownFields(const std::vector<std::string>& fields) {
  std::string shown;
  for (const std::string& field : fields) shown += " " + Shown(field);
  return shown;
}

// The commas that split: those outside a field's opening quotes.
std::size_t SplittingCommas(std::string_view text) {
  std::size_t commas = 0;
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && text[i] == '"') i = std::min(text.find('"', i + 1), text.size());
    i = std::min(text.find(',', i), text.size());
    if (i == text.size()) return commas;
    ++commas;
    ++i;
  }
}

std::string Plain(const std::string& field) {
  std::string plain;
  for (const char c : field) {
    if (c != ',' && c != '"') plain += c;
  }
  const std::size_t first = plain.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return plain.substr(first, plain.find_last_not_of(' ') - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line = halvex::fuzz::AsText(data, size);
  const std::string_view text = handoff::ArgumentText(line);
  FUZZ_CHECK(text.data() >= line.data() && text.data() + text.size() == line.data() + line.size(),
             Shown(line) + " gives arguments outside the line");
  FUZZ_CHECK(text.empty() || text[0] != ' ', Shown(line) + " gives " + Shown(text));

  const std::vector<std::string> fields = handoff::SplitArguments(text);
  FUZZ_CHECK(text.empty() ? fields.empty() : fields.size() == SplittingCommas(text) + 1,
             Shown(text) + " splits into" + ShownFields(fields));
  // A field with a quote inside cannot have been quoted: it is unquoted and trimmed.
  for (const std::string& field : fields) {
    FUZZ_CHECK(field.find('"') == std::string::npos ||
                   (field.front() != ' ' && field.front() != '"' && field.back() != ' '),
               Shown(text) + " splits into" + ShownFields(fields));
  }

  handoff::Values values = handoff::kDefaultValues;
  for (std::size_t i = 0; i < fields.size() && i < values.size(); ++i) values[i] = Plain(fields[i]);
  const std::string built = handoff::BuildCommandLine("HXP", values);
  FUZZ_CHECK(built.size() <= handoff::kMaxCommandLine, Shown(built));
  std::string joined;
  for (std::size_t i = 0; i < values.size(); ++i) joined += (i == 0 ? "" : ",") + values[i];
  if (4 + joined.size() > handoff::kMaxCommandLine) return 0;
  FUZZ_CHECK(handoff::ArgumentsOf(built, "HXP") == joined, Shown(built));
  const ExactCopy copy(built);
  const std::vector<std::string> back = handoff::SplitArguments(handoff::ArgumentText(copy.View()));
  FUZZ_CHECK(back == std::vector<std::string>(values.begin(), values.end()),
             Shown(built) + " splits into" + ShownFields(back));
  return 0;
}

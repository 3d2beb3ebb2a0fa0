// How figures and names become text in the plans, plain and JSON.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace halvex::plan {

std::string Bare(long double value);  // FormatNumber at 7 digits, no sign blank: ".5", "113"

// A JSON number from a formatted one: JSON wants a 0 before the point.
//   ".5" -> "0.5", "-.25" -> "-0.25"
std::string JsonNumber(const std::string& text);
std::string JsonNumber(long double value);  // of Bare(value)

std::string Quote(const std::string& text);  // a JSON string
std::string QuoteOrNull(const std::optional<std::string>& text);
std::string JsonFlag(bool value);  // "true" or "false"

// A catalogue name without the blanks that pad it: "NV40     " -> "NV40".
std::string TrimmedName(std::string_view name);

// Text from a file or a command line made safe for one line of a message:
// control bytes become \xNN.
std::string Printable(std::string_view text);

}  // namespace halvex::plan

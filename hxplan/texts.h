// How figures and names become text in the plans, plain and JSON.
#pragma once

#include <initializer_list>
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

// A plan as a JSON object, one member per line in the order given:
//   {{"a", "1"}, {"b", "true"}} -> "{\n  \"a\": 1,\n  \"b\": true\n}\n"
struct JsonMember {
  const char* key;
  std::string value;  // already JSON
};
std::string JsonObject(std::initializer_list<JsonMember> members);

// A catalogue name without the blanks that pad it: "NV40     " -> "NV40".
std::string TrimmedName(std::string_view name);

// The length of the valid UTF-8 sequence at `at`, or 0.
std::size_t Utf8Length(std::string_view text, std::size_t at);
// Where text stops being UTF-8, or npos when it is UTF-8 throughout.
std::size_t FirstNonUtf8(std::string_view text);
// Latin-1 bytes as UTF-8: "Caf\xE9" -> "Café".
std::string Latin1ToUtf8(std::string_view text);

// Text from a file or a command line made safe for one line of a message:
// control bytes become \xNN.
std::string Printable(std::string_view text);

}  // namespace halvex::plan

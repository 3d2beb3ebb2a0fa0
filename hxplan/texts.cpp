#include "hxplan/texts.h"

#include <cstdio>

#include "calc/result_texts.h"
#include "common/number_text.h"

namespace halvex::plan {

std::string Bare(long double value) { return FormatNumber(value, kDisplayDigits, false); }

std::string JsonNumber(const std::string& text) {
  if (!text.empty() && text[0] == '.') return "0" + text;
  if (text.size() > 1 && text[0] == '-' && text[1] == '.') return "-0" + text.substr(1);
  return text;
}

std::string JsonNumber(long double value) { return JsonNumber(Bare(value)); }

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

std::string QuoteOrNull(const std::optional<std::string>& text) { return text ? Quote(*text) : "null"; }

std::string JsonFlag(bool value) { return value ? "true" : "false"; }

std::string TrimmedName(std::string_view name) {
  const std::size_t end = name.find_last_not_of(' ');
  return std::string(name.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::string Printable(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      shown += escape;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace halvex::plan

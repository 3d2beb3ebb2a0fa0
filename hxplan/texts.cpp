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

std::size_t Utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  if (lead < 0x80) {
    length = 1;
  } else if (lead >= 0xC2 && lead < 0xE0) {
    length = 2;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    length = 4;
  }
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t k = at + 1; k < at + length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;
  }
  // No overlong forms, no surrogates, nothing beyond U+10FFFF.
  const unsigned char second = length > 1 ? byte(at + 1) : 0x80;
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second >= 0x90)) {
    return 0;
  }
  return length;
}

std::size_t FirstNonUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const std::size_t length = Utf8Length(text, at);
    if (length == 0) return at;
    at += length;
  }
  return std::string_view::npos;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    // Bytes that are not UTF-8 (a path from the command line) would make
    // the document unreadable: each becomes U+FFFD.
    if (static_cast<unsigned char>(c) >= 0x80) {
      const std::size_t length = Utf8Length(text, at);
      if (length == 0) {
        quoted += "\\ufffd";
      } else {
        quoted.append(text, at, length);
        at += length - 1;
      }
      continue;
    }
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

std::string JsonObject(std::initializer_list<JsonMember> members) {
  std::string out = "{\n";
  const char* separator = "";
  for (const JsonMember& member : members) {
    out += separator;
    out += "  \"";
    out += member.key;
    out += "\": " + member.value;
    separator = ",\n";
  }
  return out + "\n}\n";
}

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

// ParseNumber on any bytes. Properties: it reads nothing past the text, the
// result is finite, whatever follows a NUL is ignored, blanks in front and
// a sign behave as the header says, an "&" integer is whole and at most 64
// bits wide, and a decimal number is the long double nearest to its first
// 18 significant digits times its power of ten (strtold on the same digits,
// which glibc rounds correctly, is the reference).
#include <cmath>
#include <optional>

#include "common/number_text.h"
#include "fuzz/fuzz_check.h"

namespace {

using halvex::fuzz::ExactCopy;
using halvex::fuzz::Shown;

long double Parse(std::string_view text) { return halvex::ParseNumber(ExactCopy(text).View()); }

bool SameBits(long double a, long double b) { return a == b && std::signbit(a) == std::signbit(b); }

std::string Hex(long double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%La", value);
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value a decimal text must read as, or nothing for an "&" integer.
// Zeros may come with either sign.
std::optional<long double> ExpectedDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i < text.size() && text[i] == '&') return std::nullopt;

  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The digits as strtold is to see them: the 19th significant digit on
  // becomes 0, so that it counts for the magnitude only.
  std::string digits = negative ? "-" : "";
  int significant = 0;
  long long pointPosition = 0;
  bool anyDigit = false;
  bool seenPoint = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      if (seenPoint) break;
      seenPoint = true;
      digits += c;
      continue;
    }
    if (!IsDigit(c)) break;
    anyDigit = true;
    if (significant == 0 && c == '0') {
      if (seenPoint) --pointPosition;
      digits += c;
      continue;
    }
    ++significant;
    if (!seenPoint) ++pointPosition;
    digits += significant <= 18 ? c : '0';
  }
  if (!anyDigit || significant == 0) return 0.0L;

  long long exponent = 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    for (; i < text.size() && IsDigit(text[i]); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), 9999LL);
    if (negativeExponent) exponent = -exponent;
  }
  const long long magnitude = pointPosition + exponent;
  if (magnitude >= 4933) return negative ? -0x1p127L : 0x1p127L;
  if (magnitude <= -4933) return 0.0L;
  digits += "e" + std::to_string(exponent);
  return std::strtold(digits.c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = halvex::fuzz::AsText(data, size);
  const long double value = halvex::ParseNumber(text);
  FUZZ_CHECK(std::isfinite(value), Shown(text) + " reads as " + Hex(value));

  if (const std::optional<long double> expected = ExpectedDecimal(text)) {
    FUZZ_CHECK(value == *expected,
               Shown(text) + " reads as " + Hex(value) + ", nearest is " + Hex(*expected));
  } else {
    FUZZ_CHECK(value == std::floor(value) && value >= -0x1p31L && value < 0x1p64L,
               Shown(text) + " reads as " + Hex(value));
  }

  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) {
    FUZZ_CHECK(SameBits(value, Parse(text.substr(0, nul))), Shown(text) + " reads past its NUL");
  }
  FUZZ_CHECK(SameBits(value, Parse(" \t\n" + std::string(text))), Shown(text) + " with blanks in front");
  if (!text.empty() && (IsDigit(text[0]) || text[0] == '.')) {
    FUZZ_CHECK(Parse("-" + std::string(text)) == -value, Shown(text) + " with a minus in front");
    FUZZ_CHECK(SameBits(Parse("+" + std::string(text)), value), Shown(text) + " with a plus in front");
  }
  return 0;
}

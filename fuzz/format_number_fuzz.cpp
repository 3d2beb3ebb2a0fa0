// FormatNumber on any 80-bit pattern, any digit count and both sign forms.
// Input: 10 bytes of the long double (little-endian x87 layout), 4 bytes of
// the digit count (little-endian int), 1 byte whose lowest bit asks for the
// signed form; missing bytes are 0.
//
// Properties: the text has the form the header gives (sign position, plain
// or exponent form, no trailing zeros, no "0" before the point, at most
// `digits` digits); the bare form is the signed one without its blank; at 18
// digits the digits are the 18-digit integer nearest to the value, checked
// exactly in integers; at fewer digits they are the 18 rounded by the one
// digit that follows the kept ones; and the text reads back through
// ParseNumber within the rounding of the digit count. Zero, NaN and the
// patterns the FPU takes for none (unnormals, pseudo-infinities) give " 0",
// infinity nines at E+998.
#include <cmath>
#include <vector>

#include "common/number_text.h"
#include "fuzz/fuzz_check.h"

namespace {

using halvex::FormatNumber;
using halvex::ParseNumber;
using halvex::fuzz::Shown;

constexpr int kMaxDigits = 18;

// Non-negative integers of any size, little-endian 32-bit limbs: only what
// the nearest check needs.
using Big = std::vector<std::uint32_t>;

Big FromU64(std::uint64_t value) {
  Big big;
  for (; value != 0; value >>= 32) big.push_back(static_cast<std::uint32_t>(value));
  return big;
}

Big Multiply(const Big& a, const Big& b) {
  Big product(a.size() + b.size(), 0);
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
      const std::uint64_t sum = static_cast<std::uint64_t>(a[i]) * b[j] + product[i + j] + carry;
      product[i + j] = static_cast<std::uint32_t>(sum);
      carry = sum >> 32;
    }
    product[i + b.size()] = static_cast<std::uint32_t>(carry);
  }
  while (!product.empty() && product.back() == 0) product.pop_back();
  return product;
}

Big ShiftLeft(const Big& a, int bits) {
  if (a.empty()) return a;
  Big shifted(static_cast<std::size_t>(bits / 32), 0);
  const int rest = bits % 32;
  std::uint32_t carry = 0;
  for (const std::uint32_t limb : a) {
    shifted.push_back(rest == 0 ? limb : (limb << rest) | carry);
    carry = rest == 0 ? 0 : limb >> (32 - rest);
  }
  if (carry != 0) shifted.push_back(carry);
  return shifted;
}

int Compare(const Big& a, const Big& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

// 5^n, kept: the fuzzer asks for the same powers again and again.
const Big& PowerOfFive(int n) {
  static std::vector<Big> powers{FromU64(1)};
  while (static_cast<int>(powers.size()) <= n) powers.push_back(Multiply(powers.back(), FromU64(5)));
  return powers[static_cast<std::size_t>(n)];
}

// factor * 2^twos * 5^fives, where negative powers are moved to `other`
// the same way: the two sides of a comparison stay whole numbers.
void Scale(Big& side, Big& other, int twos, int fives) {
  if (fives >= 0) side = Multiply(side, PowerOfFive(fives)); else other = Multiply(other, PowerOfFive(-fives));
  if (twos >= 0) side = ShiftLeft(side, twos); else other = ShiftLeft(other, -twos);
}

enum class Kind { kZero, kNotANumber, kInfinity, kFinite };

struct Pattern {
  long double value = 0;
  bool negative = false;
  Kind kind = Kind::kZero;
  std::uint64_t significand = 0;  // value = significand * 2^binaryExponent
  int binaryExponent = 0;
};

// What the x87 makes of the bits: an exponent field of 0 is the smallest
// exponent whatever the integer bit (pseudo-denormals count as their value),
// a set exponent with a clear integer bit is an invalid operand like NaN.
Pattern Decode(const std::uint8_t* bytes) {
  Pattern pattern;
  std::memcpy(&pattern.value, bytes, 10);
  std::memcpy(&pattern.significand, bytes, 8);
  const int signAndExponent = bytes[8] | bytes[9] << 8;
  const int exponent = signAndExponent & 0x7FFF;
  pattern.negative = (signAndExponent & 0x8000) != 0;
  const bool integerBit = (pattern.significand >> 63) != 0;
  if (exponent == 0x7FFF) {
    pattern.kind = integerBit && (pattern.significand << 1) == 0 ? Kind::kInfinity : Kind::kNotANumber;
  } else if (exponent != 0 && !integerBit) {
    pattern.kind = Kind::kNotANumber;
  } else if (pattern.significand == 0) {
    pattern.kind = Kind::kZero;
  } else {
    pattern.kind = Kind::kFinite;
    pattern.binaryExponent = std::max(exponent, 1) - 16383 - 63;
  }
  return pattern;
}

// A text taken apart: its significant digits, without leading or trailing
// zeros, and the decimal exponent of the first.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Decimal TakeApart(const std::string& text, bool signBlank) {
  Decimal decimal;
  std::size_t i = 0;
  if (!text.empty() && text[0] == '-') {
    decimal.negative = true;
    i = 1;
  } else if (signBlank) {
    FUZZ_CHECK(!text.empty() && text[0] == ' ', Shown(text) + " lacks its sign position");
    i = 1;
  }
  std::string all;
  int beforePoint = -1;
  for (; i < text.size() && text[i] != 'E'; ++i) {
    if (text[i] == '.') {
      FUZZ_CHECK(beforePoint < 0, Shown(text) + " has two points");
      beforePoint = static_cast<int>(all.size());
    } else {
      FUZZ_CHECK(text[i] >= '0' && text[i] <= '9', Shown(text) + " has a stray character");
      all += text[i];
    }
  }
  if (beforePoint < 0) beforePoint = static_cast<int>(all.size());
  int exponent = 0;
  if (i < text.size()) {
    FUZZ_CHECK(i + 2 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-'),
               Shown(text) + " has a broken exponent");
    for (std::size_t j = i + 2; j < text.size(); ++j) {
      FUZZ_CHECK(text[j] >= '0' && text[j] <= '9' && exponent < 100000, Shown(text) + " has a broken exponent");
      exponent = exponent * 10 + (text[j] - '0');
    }
    if (text[i + 1] == '-') exponent = -exponent;
  }
  const std::size_t first = all.find_first_not_of('0');
  FUZZ_CHECK(first != std::string::npos, Shown(text) + " has no significant digit");
  const std::size_t last = all.find_last_not_of('0');
  decimal.digits = all.substr(first, last - first + 1);
  decimal.exponent = beforePoint - 1 - static_cast<int>(first) + exponent;
  return decimal;
}

// The text the header's form rules give for these digits.
std::string Render(const Decimal& decimal, int digits, bool signBlank) {
  std::string text = decimal.negative ? "-" : signBlank ? " " : "";
  const int k = static_cast<int>(decimal.digits.size());
  const int before = decimal.exponent + 1;
  const int after = k - before;
  if (after <= 0 && before <= digits) {
    text += decimal.digits + std::string(static_cast<std::size_t>(-after), '0');
  } else if (after > 0 && after <= digits) {
    if (before <= 0) {
      text += "." + std::string(static_cast<std::size_t>(-before), '0') + decimal.digits;
    } else {
      text += decimal.digits.substr(0, static_cast<std::size_t>(before)) + "." +
              decimal.digits.substr(static_cast<std::size_t>(before));
    }
  } else {
    text += decimal.digits.substr(0, 1);
    if (k > 1) text += "." + decimal.digits.substr(1);
    text += decimal.exponent < 0 ? "E-" : "E+";
    text += std::to_string(std::abs(decimal.exponent));
  }
  return text;
}

// The 18 digits rounded to `digits` by the one digit after the kept ones.
Decimal RoundEighteen(const Decimal& eighteen, int digits) {
  Decimal rounded = eighteen;
  std::string all = eighteen.digits + std::string(kMaxDigits - eighteen.digits.size(), '0');
  const char next = all[static_cast<std::size_t>(digits)];
  all.resize(static_cast<std::size_t>(digits));
  if (next > '5' || (next == '5' && (all.back() - '0') % 2 == 1)) {
    std::size_t i = all.size();
    while (i > 0 && all[i - 1] == '9') all[--i] = '0';
    if (i == 0) {
      all.insert(all.begin(), '1');
      all.pop_back();
      ++rounded.exponent;
    } else {
      ++all[i - 1];
    }
  }
  rounded.digits = all.substr(0, all.find_last_not_of('0') + 1);
  return rounded;
}

// |value * 10^(17 - exponent) - D| <= 1/2, a tie only with an even D.
bool IsNearest(const Pattern& pattern, const Decimal& decimal) {
  const std::string all = decimal.digits + std::string(kMaxDigits - decimal.digits.size(), '0');
  const std::uint64_t d = std::stoull(all);
  const int fives = kMaxDigits - 1 - decimal.exponent;
  const int twos = pattern.binaryExponent + fives + 1;  // the 1 doubles both sides
  for (const int side : {-1, 1}) {
    Big value = FromU64(pattern.significand);
    Big bound = FromU64(2 * d + static_cast<std::uint64_t>(side));
    Scale(value, bound, twos, fives);
    const int order = Compare(value, bound) * side;  // > 0: beyond the half on this side
    if (order > 0 || (order == 0 && d % 2 == 1)) return false;
  }
  return true;
}

std::string Hex(long double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%La", value);
  return text;
}

std::string Describe(const Pattern& pattern, int digits, bool signBlank) {
  char text[96];
  std::snprintf(text, sizeof text, "%La (0x%016llx exp %d) at %d digits%s", pattern.value,
                static_cast<unsigned long long>(pattern.significand), pattern.binaryExponent, digits,
                signBlank ? ", signed" : ", bare");
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t input[15] = {};
  std::memcpy(input, data, std::min(size, sizeof input));
  const Pattern pattern = Decode(input);
  std::int32_t requested = 0;
  std::memcpy(&requested, input + 10, 4);
  const bool signBlank = (input[14] & 1) != 0;
  const int digits = requested >= 1 && requested <= kMaxDigits ? requested : kMaxDigits;
  const std::string about = Describe(pattern, requested, signBlank);

  const std::string text = FormatNumber(pattern.value, requested, signBlank);
  const std::string bare = FormatNumber(pattern.value, requested, false);
  const std::string signedText = FormatNumber(pattern.value, requested, true);
  FUZZ_CHECK(!bare.empty() && !signedText.empty(), about + " gives no text");
  FUZZ_CHECK(text == (signBlank ? signedText : bare), about + ": the same call gives two texts");
  FUZZ_CHECK(bare == (signedText[0] == ' ' ? signedText.substr(1) : signedText),
             about + ": bare " + Shown(bare) + ", signed " + Shown(signedText));

  switch (pattern.kind) {
    case Kind::kZero:
    case Kind::kNotANumber:
      FUZZ_CHECK(signedText == " 0", about + " gives " + Shown(signedText));
      return 0;
    case Kind::kInfinity: {
      std::string nines = "9";
      if (digits > 1) nines += "." + std::string(static_cast<std::size_t>(digits - 1), '9');
      FUZZ_CHECK(signedText == (pattern.negative ? "-" : " ") + nines + "E+998", about + " gives " + Shown(signedText));
      return 0;
    }
    case Kind::kFinite:
      break;
  }

  const Decimal decimal = TakeApart(signedText, true);
  FUZZ_CHECK(decimal.negative == pattern.negative, about + " gives " + Shown(signedText));
  FUZZ_CHECK(decimal.digits.size() <= static_cast<std::size_t>(digits), about + " gives " + Shown(signedText));
  FUZZ_CHECK(Render(decimal, digits, true) == signedText,
             about + " gives " + Shown(signedText) + ", its form is " + Shown(Render(decimal, digits, true)));
  if (digits == kMaxDigits) {
    FUZZ_CHECK(IsNearest(pattern, decimal), about + " gives " + Shown(signedText) + ", not the nearest");
  } else {
    const Decimal eighteen = TakeApart(FormatNumber(pattern.value, kMaxDigits, true), true);
    const Decimal expected = RoundEighteen(eighteen, digits);
    FUZZ_CHECK(decimal.digits == expected.digits && decimal.exponent == expected.exponent,
               about + " gives " + Shown(signedText) + ", from 18 digits " + Render(expected, digits, true));
  }

  // Back through ParseNumber: from 1E+4932 up it reads 2^127, below 1E-4933 0.
  const long double back = ParseNumber(signedText);
  if (decimal.exponent >= 4932) {
    FUZZ_CHECK(std::fabs(back) == 0x1p127L, about + " gives " + Shown(signedText));
  } else if (decimal.exponent < -4933) {
    FUZZ_CHECK(back == 0, about + " gives " + Shown(signedText));
  } else {
    // Half a unit of the last kept digit, a tenth more for the digits that
    // the rounding does not look at, and the reading's own rounding.
    const long double unit = std::pow(10.0L, decimal.exponent - digits + 1);
    // The unit of the significand's last bit, from the pattern: nextafterl
    // misjudges pseudo-denormals.
    const long double ulp = std::ldexp(1.0L, pattern.binaryExponent);
    FUZZ_CHECK(std::fabs(back - pattern.value) <= 0.65L * unit + 2 * ulp,
               about + " gives " + Shown(signedText) + ", which reads back as " + Hex(back));
  }
  return 0;
}

#include "common/number_text.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace halvex {
namespace {

constexpr int kMaxDigits = 18;

// 10^n is exact in long double up to n = 27, because 5^27 < 2^64 fits the
// significand. Scaling by these rounds once, so exact results stay exact.
constexpr int kMaxExactPower = 27;

// The smallest subnormal long double is 2^-16445.
constexpr int kSmallestSubnormalExponent = -16445;

constexpr std::array<long double, kMaxExactPower + 1> MakeExactPowersOfTen() {
  std::array<long double, kMaxExactPower + 1> powers{};
  long double power = 1.0L;
  for (long double& entry : powers) {
    entry = power;
    power *= 10.0L;
  }
  return powers;
}
constexpr auto kPowersOfTen = MakeExactPowersOfTen();

constexpr std::array<std::uint64_t, kMaxDigits + 1> MakeIntegerPowersOfTen() {
  std::array<std::uint64_t, kMaxDigits + 1> powers{};
  std::uint64_t power = 1;
  for (std::uint64_t& entry : powers) {
    entry = power;
    power *= 10;
  }
  return powers;
}
constexpr auto kIntegerPowersOfTen = MakeIntegerPowersOfTen();

// The unevaluated sum hi + lo, |lo| at most half an ulp of hi: a number
// carried to about 128 bits with long double arithmetic alone.
struct Wide {
  long double hi;
  long double lo;
};

// Splits a into two halves of at most 32 significant bits each (Veltkamp),
// so that every product of two halves is exact in a 64-bit significand.
void Split(long double a, long double& high, long double& low) {
  const long double t = a * 0x1.00000001p32L;  // 2^32 + 1
  high = t - (t - a);
  low = a - high;
}

// a * b as the rounded product plus its exact rounding error (Dekker).
Wide TwoProduct(long double a, long double b) {
  const long double product = a * b;
  long double aHigh = 0, aLow = 0, bHigh = 0, bLow = 0;
  Split(a, aHigh, aLow);
  Split(b, bHigh, bLow);
  const long double error =
      ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
  return {product, error};
}

Wide Multiply(Wide a, Wide b) {
  const Wide product = TwoProduct(a.hi, b.hi);
  const long double tail = product.lo + (a.hi * b.lo + a.lo * b.hi);
  const long double hi = product.hi + tail;
  return {hi, tail - (hi - product.hi)};
}

// 5^n to about 120 bits by repeated squaring; n stays below 8192, so the
// largest square formed is 5^4096 and nothing overflows.
Wide PowerOfFive(int n) {
  Wide result{1.0L, 0.0L};
  Wide square{5.0L, 0.0L};
  for (;;) {
    if (n & 1) result = Multiply(result, square);
    n >>= 1;
    if (n == 0) return result;
    square = Multiply(square, square);
  }
}

// Rounds hi + lo to an integer, ties to even, whatever the current rounding
// mode. A hi that lies exactly on a half is a tie only when lo is 0 too.
long double RoundHalfEven(Wide x) {
  const long double whole = std::floor(x.hi);
  const long double fraction = x.hi - whole;
  const bool upper = fraction > 0.5L ||
                     (fraction == 0.5L &&
                      (x.lo > 0 || (x.lo == 0 && std::fmod(whole, 2.0L) != 0.0L)));
  return upper ? whole + 1.0L : whole;
}

// x * 10^n for finite x > 0, as hi, the long double nearest to it, and lo,
// what hi leaves out: its sign tells on which side of hi the exact value
// lies, which decides a value that hi rounds onto a half.
//
// Up to 10^27 the power is exact, and one multiplication, or one division
// for a negative power, rounds once; the product's or quotient's error is
// then exact too. Beyond that 10^n is neither exact nor, near the ends of the
// range, representable at all, so it is split into 5^n, carried to about 120
// bits, and 2^n, applied exactly at the end. The result then still rounds
// once from all but vanishingly rare values, with no dependence on the C
// library's pow.
Wide ScaleByPowerOfTenWide(long double x, int n) {
  if (n >= 0 && n <= kMaxExactPower) return TwoProduct(x, kPowersOfTen[n]);
  if (n < 0 && n >= -kMaxExactPower) {
    const long double power = kPowersOfTen[-n];
    const long double quotient = x / power;
    const Wide back = TwoProduct(quotient, power);
    return {quotient, ((x - back.hi) - back.lo) / power};
  }

  int binaryExponent = 0;
  const long double fraction = std::frexp(x, &binaryExponent);
  const Wide five = PowerOfFive(std::abs(n));
  long double head = 0;
  long double tail = 0;
  if (n > 0) {
    const Wide product = TwoProduct(fraction, five.hi);
    head = product.hi;
    tail = product.lo + fraction * five.lo;
  } else {
    head = fraction / five.hi;
    const Wide back = TwoProduct(head, five.hi);
    tail = (((fraction - back.hi) - back.lo) - head * five.lo) / five.hi;
  }
  const long double scaled = head + tail;
  const long double rest = tail - (scaled - head);
  const int shift = binaryExponent + n;
  const long double result = std::ldexp(scaled, shift);
  if (std::fabs(result) >= LDBL_MIN) return {result, std::ldexp(rest, shift)};

  // Below the normal range fewer bits are left, and shifting the rounded
  // value down would round a second time: round once, in units of the
  // smallest subnormal, from the unrounded sum.
  const int toUnits = shift - kSmallestSubnormalExponent;
  const Wide units{std::ldexp(scaled, toUnits), std::ldexp(rest, toUnits)};
  const long double whole = RoundHalfEven(units);
  return {std::ldexp(whole, kSmallestSubnormalExponent),
          std::ldexp((units.hi - whole) + units.lo, kSmallestSubnormalExponent)};
}

long double ScaleByPowerOfTen(long double x, int n) { return ScaleByPowerOfTenWide(x, n).hi; }


// The 18-digit integer nearest to magnitude * 10^(17 - exponent), where
// exponent is the decimal exponent of its first digit.
struct EighteenDigits {
  std::uint64_t digits;
  int exponent;
};

EighteenDigits ToEighteenDigits(long double magnitude) {
  const long double low = static_cast<long double>(kIntegerPowersOfTen[17]);
  const long double high = static_cast<long double>(kIntegerPowersOfTen[18]);

  int binaryExponent = 0;
  std::frexp(magnitude, &binaryExponent);
  // magnitude >= 2^(binaryExponent - 1), so this is the decimal exponent of
  // the first digit or one below it.
  int exponent = static_cast<int>(
      std::floor((binaryExponent - 1) * 0.301029995663981195214L));

  long double rounded = 0;
  // Converges in at most two steps up: one for a low estimate, one for a
  // round-up to 10^18 (then the next power gives exactly 10^17).
  for (int step = 0; step < 4; ++step) {
    rounded = RoundHalfEven(ScaleByPowerOfTenWide(magnitude, 17 - exponent));
    if (rounded >= high) {
      ++exponent;
    } else if (rounded < low) {
      --exponent;
    } else {
      break;
    }
  }
  if (rounded >= high) rounded = high - 1;  // unreachable; keeps the cast safe
  if (rounded < low) rounded = low;
  return {static_cast<std::uint64_t>(rounded), exponent};
}

// Text of at most 26 characters ("-1.23456789012345678E-4951"), built on the
// stack so that the result string is the only allocation.
class TextBuffer {
 public:
  void Add(char c) { text_[length_++] = c; }
  void Repeat(char c, int count) {
    for (int i = 0; i < count; ++i) Add(c);
  }
  void AddNumber(int value) {
    char reversed[12];
    int count = 0;
    do {
      reversed[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (count > 0) Add(reversed[--count]);
  }
  std::string ToString() const { return std::string(text_, length_); }

 private:
  char text_[32] = {};
  std::size_t length_ = 0;
};

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// The text after "&".
long double ParseRadixInteger(std::string_view text) {
  std::size_t i = 0;
  int radix = 8;
  if (!text.empty()) {
    switch (text[0]) {
      case 'H': case 'h': radix = 16; i = 1; break;
      case 'B': case 'b': radix = 2; i = 1; break;
      case 'O': case 'o': case 'Q': case 'q': radix = 8; i = 1; break;
      default: break;  // octal, and this character is the first digit
    }
  }

  std::uint64_t value = 0;
  bool anyDigit = false;
  bool firstDigitZero = false;
  bool tooWide = false;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit < 0 || digit >= radix) break;
    if (!anyDigit) firstDigitZero = digit == 0;
    anyDigit = true;
    const auto unsignedDigit = static_cast<std::uint64_t>(digit);
    if (value > (UINT64_MAX - unsignedDigit) / static_cast<std::uint64_t>(radix)) {
      tooWide = true;
    } else {
      value = value * static_cast<std::uint64_t>(radix) + unsignedDigit;
    }
  }
  if (!anyDigit || tooWide) return 0.0L;

  const std::string_view suffix = text.substr(i);
  const bool longSuffix = suffix.substr(0, 1) == "&";   // "&" or "&&"
  const bool quadSuffix = suffix.substr(0, 2) == "&&";
  const bool unsignedSuffix = suffix.substr(0, 1) == "?";  // "?" or "??"

  if (unsignedSuffix) {
    return (value >> 63) != 0 ? 0.0L : static_cast<long double>(value);
  }
  // A leading 0 marks a value meant to be read unsigned.
  if (!firstDigitZero) {
    if (value <= 0xFFFF && (value & 0x8000) != 0 && !longSuffix) {
      return static_cast<long double>(value) - 65536.0L;
    }
    if (value <= 0xFFFFFFFF && (value & 0x80000000) != 0 && !quadSuffix) {
      return static_cast<long double>(value) - 4294967296.0L;
    }
  }
  return static_cast<long double>(value);
}

long double ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  std::uint64_t mantissa = 0;
  int mantissaDigits = 0;
  // Significant digits before the point, or minus the zeros between the
  // point and the first significant digit.
  long long pointPosition = 0;
  bool anyDigit = false;
  bool seenPoint = false;
  bool seenSignificant = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      if (seenPoint) break;
      seenPoint = true;
      continue;
    }
    if (!IsDecimalDigit(c)) break;
    anyDigit = true;
    if (!seenSignificant && c == '0') {
      if (seenPoint) --pointPosition;
      continue;
    }
    seenSignificant = true;
    if (!seenPoint) ++pointPosition;
    if (mantissaDigits < kMaxDigits) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      ++mantissaDigits;
    }
  }
  if (!anyDigit) return 0.0L;

  int exponent = 0;
  if (i < text.size() &&
      (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negativeExponent = text[i] == '-';
      ++i;
    }
    for (; i < text.size() && IsDecimalDigit(text[i]); ++i) {
      exponent = exponent * 10 + (text[i] - '0');
      if (exponent > 9999) exponent = 9999;
    }
    if (negativeExponent) exponent = -exponent;
  }

  // Only zeros: no significant digit to place, whatever the exponent.
  if (mantissa == 0) return negative ? -0.0L : 0.0L;

  const long long magnitude = pointPosition + exponent;
  if (magnitude >= 4933) return negative ? -0x1p127L : 0x1p127L;
  if (magnitude <= -4933) return 0.0L;

  const long double value = ScaleByPowerOfTen(
      static_cast<long double>(mantissa),
      static_cast<int>(magnitude - mantissaDigits));
  return negative ? -value : value;
}

}  // namespace

std::string FormatNumber(long double value, int digits, bool signBlank) {
  if (digits < 1 || digits > kMaxDigits) digits = kMaxDigits;

  TextBuffer text;
  // NaN may carry a sign bit; it still reads as a plain 0.
  if (std::isnan(value) || value == 0.0L) {
    if (signBlank) text.Add(' ');
    text.Add('0');
    return text.ToString();
  }
  if (std::signbit(value)) {
    text.Add('-');
  } else if (signBlank) {
    text.Add(' ');
  }
  if (std::isinf(value)) {
    text.Add('9');
    if (digits > 1) {
      text.Add('.');
      text.Repeat('9', digits - 1);
    }
    text.Add('E');
    text.Add('+');
    text.AddNumber(998);
    return text.ToString();
  }

  // A whole number within the digits (a count, most typed lengths) is its
  // own digits: the exact scaling below would give the same.
  const long double magnitude = std::fabs(value);
  if (magnitude < 1e9L && magnitude < static_cast<long double>(kIntegerPowersOfTen[digits]) &&
      magnitude == std::floor(magnitude)) {
    text.AddNumber(static_cast<int>(magnitude));
    return text.ToString();
  }

  const EighteenDigits all = ToEighteenDigits(magnitude);
  int exponent = all.exponent;
  std::uint64_t kept = all.digits;
  if (digits < kMaxDigits) {
    const std::uint64_t dropped = kIntegerPowersOfTen[kMaxDigits - digits];
    kept = all.digits / dropped;
    const std::uint64_t next = all.digits / (dropped / 10) % 10;
    if (next > 5 || (next == 5 && kept % 2 == 1)) {
      ++kept;
      if (kept == kIntegerPowersOfTen[digits]) {  // 99..9 carried out
        kept = kIntegerPowersOfTen[digits - 1];
        ++exponent;
      }
    }
  }

  // The kept digits, most significant first, without trailing zeros.
  char kept_text[kMaxDigits];
  int count = digits;
  for (int i = digits - 1; i >= 0; --i) {
    kept_text[i] = static_cast<char>('0' + kept % 10);
    kept /= 10;
  }
  while (count > 1 && kept_text[count - 1] == '0') --count;

  const int placesBeforePoint = exponent + 1;
  const int placesAfterPoint = count - placesBeforePoint;

  if (placesAfterPoint <= 0 && placesBeforePoint <= digits) {
    for (int i = 0; i < count; ++i) text.Add(kept_text[i]);
    text.Repeat('0', -placesAfterPoint);
  } else if (placesAfterPoint > 0 && placesAfterPoint <= digits) {
    if (placesBeforePoint <= 0) {
      text.Add('.');
      text.Repeat('0', -placesBeforePoint);
      for (int i = 0; i < count; ++i) text.Add(kept_text[i]);
    } else {
      for (int i = 0; i < count; ++i) {
        if (i == placesBeforePoint) text.Add('.');
        text.Add(kept_text[i]);
      }
    }
  } else {
    text.Add(kept_text[0]);
    if (count > 1) {
      text.Add('.');
      for (int i = 1; i < count; ++i) text.Add(kept_text[i]);
    }
    text.Add('E');
    text.Add(exponent < 0 ? '-' : '+');
    text.AddNumber(std::abs(exponent));
  }
  return text.ToString();
}

long double ParseNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) {
    ++i;
  }
  text.remove_prefix(i);
  if (!text.empty() && text[0] == '&') return ParseRadixInteger(text.substr(1));
  return ParseDecimal(text);
}

}  // namespace halvex

#include "common/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace halvex {
namespace {

struct FormatCase {
  const char* name;
  long double value;
  int digits;
  bool signBlank;
  const char* expected;
};

struct ParseCase {
  const char* text;
  long double expected;
};

template <std::size_t N>
void ExpectFormats(const FormatCase (&cases)[N]) {
  for (const FormatCase& row : cases) {
    SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(row.digits) +
                 (row.signBlank ? " digits, signed" : " digits, bare") +
                 " -> '" + row.expected + "'");
    EXPECT_EQ(FormatNumber(row.value, row.digits, row.signBlank), row.expected);
  }
}

std::string Printable(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out + "\"";
}

template <std::size_t N>
void ExpectParses(const ParseCase (&cases)[N]) {
  for (const ParseCase& row : cases) {
    SCOPED_TRACE(Printable(row.text));
    EXPECT_EQ(ParseNumber(row.text), row.expected);
  }
}

constexpr float kFloatNearestTenth = 0.1f;  // 0x1.99999Ap-4

// ---------------------------------------------------------------- Format

TEST(FormatNumber, ShownValuesAtSevenDigits) {
  const FormatCase cases[] = {
      {"0", 0.0L, 7, true, " 0"},
      {"0.5", 0.5L, 7, true, " .5"},
      {"-0.25", -0.25L, 7, true, "-.25"},
      {"2.5", 2.5L, 7, true, " 2.5"},
      {"-3", -3.0L, 7, true, "-3"},
      {"100", 100.0L, 7, true, " 100"},
      {"float 0.1", kFloatNearestTenth, 7, true, " .1"},
      {"1/3", 1.0L / 3.0L, 7, true, " .3333333"},
      {"2/3", 2.0L / 3.0L, 7, true, " .6666667"},
      {"10/3", 10.0L / 3.0L, 7, true, " 3.333333"},
      {"float 16.666666", 16.666666f, 7, true, " 16.66667"},
      {"1234567", 1234567.0L, 7, true, " 1234567"},
      {"12345678", 12345678.0L, 7, true, " 1.234568E+7"},
      {"1000000", 1000000.0L, 7, true, " 1000000"},
      {"10000000", 10000000.0L, 7, true, " 1E+7"},
      {"1E20", 1e20L, 7, true, " 1E+20"},
      {"0.0000001", 0.0000001L, 7, true, " .0000001"},
      {"0.00000015", 0.00000015L, 7, true, " 1.5E-7"},
      {"0.00012345", 0.00012345L, 7, true, " 1.2345E-4"},
      {"float 0.1", kFloatNearestTenth, 15, true, " .100000001490116"},
  };
  ExpectFormats(cases);
}

TEST(FormatNumber, BareFormDropsOnlyTheLeadingBlank) {
  const FormatCase cases[] = {
      {"0", 0.0L, 7, false, "0"},
      {"0.5", 0.5L, 7, false, ".5"},
      {"10000000", 10000000.0L, 7, false, "1E+7"},
      {"113 (a resource name)", 113.0L, 7, false, "113"},
      {"-0.25", -0.25L, 7, false, "-.25"},
      {"-12345678", -12345678.0L, 7, false, "-1.234568E+7"},
      {"float 0.1", kFloatNearestTenth, 7, false, ".1"},
  };
  ExpectFormats(cases);
}

// Only the digit after the kept ones decides; a 5 there goes to even.
TEST(FormatNumber, RoundsByTheNextDigitOnly) {
  const FormatCase cases[] = {
      {"1234567.5 (5 lifts the odd 7)", 1234567.5L, 7, true, " 1234568"},
      {"1234568.5 (5 leaves the even 8)", 1234568.5L, 7, true, " 1234568"},
      {"1234568.5625 (625 unseen)", 1234568.5625L, 7, true, " 1234568"},
      {"1234568.6", 1234568.6L, 7, true, " 1234569"},
      {"1234568.49999", 1234568.49999L, 7, true, " 1234568"},
      {"0.12345675 (odd 7 up)", 0.12345675L, 7, true, " .1234568"},
      {"0.12345685 (even 8 stays)", 0.12345685L, 7, true, " .1234568"},
      {"9999999.5 (carry out)", 9999999.5L, 7, true, " 1E+7"},
      {"9999998.5 (even, no carry)", 9999998.5L, 7, true, " 9999998"},
      {"0.99999995 (carry into 1)", 0.99999995L, 7, true, " 1"},
      {"0.99999994", 0.99999994L, 7, true, " .9999999"},
      {"99999.995 (carry to 100000)", 99999.995L, 7, true, " 100000"},
      {"0.0099999995 (carry to .01)", 0.0099999995L, 7, true, " .01"},
      {"-9999999.5", -9999999.5L, 7, true, "-1E+7"},
      {"19.95 at 3", 19.95L, 3, true, " 20"},
      {"99.5 at 2", 99.5L, 2, true, " 1E+2"},
  };
  ExpectFormats(cases);
}

// Plain while the text needs at most `digits` places, else the exponent form.
TEST(FormatNumber, PlainAndExponentFormBoundaries) {
  const FormatCase cases[] = {
      {"9999999 (7 integer places)", 9999999.0L, 7, true, " 9999999"},
      {"12345670 (8 integer places)", 12345670.0L, 7, true, " 1.234567E+7"},
      {"123.4567", 123.4567L, 7, true, " 123.4567"},
      {"0.1234567 (7 places after)", 0.1234567L, 7, true, " .1234567"},
      {"0.01234567 (8 places after)", 0.01234567L, 7, true, " 1.234567E-2"},
      {"0.0000012", 0.0000012L, 7, true, " .0000012"},
      {"0.00000012", 0.00000012L, 7, true, " 1.2E-7"},
      {"0.05", 0.05L, 7, true, " .05"},
      {"1E-12", 1e-12L, 7, true, " 1E-12"},
      {"1E308", 1e308L, 7, true, " 1E+308"},
      {"1.5E+300", 1.5e300L, 7, true, " 1.5E+300"},
      {"12 at 1", 12.0L, 1, true, " 1E+1"},
      {"120 at 2", 120.0L, 2, true, " 1.2E+2"},
      {"100 at 3", 100.0L, 3, true, " 100"},
      {"1000 at 3", 1000.0L, 3, true, " 1E+3"},
      {"0.001 at 3", 0.001L, 3, true, " .001"},
      {"0.0001 at 3", 0.0001L, 3, true, " 1E-4"},
  };
  ExpectFormats(cases);
}

TEST(FormatNumber, NegativeValuesInEachForm) {
  const FormatCase cases[] = {
      {"-1234567 (integer)", -1234567.0L, 7, true, "-1234567"},
      {"-1000000 (integer with zeros)", -1000000.0L, 7, true, "-1000000"},
      {"-12.5 (fraction)", -12.5L, 7, true, "-12.5"},
      {"-0.0000001 (fraction below 1)", -0.0000001L, 7, true, "-.0000001"},
      {"-12345678 (exponent)", -12345678.0L, 7, true, "-1.234568E+7"},
      {"-0.00000015 (negative exponent)", -0.00000015L, 7, true, "-1.5E-7"},
      {"-3 bare", -3.0L, 7, false, "-3"},
  };
  ExpectFormats(cases);
}

TEST(FormatNumber, DigitCounts) {
  const FormatCase cases[] = {
      {"5 at 1", 5.0L, 1, true, " 5"},
      {"25 at 1 (even 2 stays)", 25.0L, 1, true, " 2E+1"},
      {"35 at 1 (odd 3 up)", 35.0L, 1, true, " 4E+1"},
      {"0.45 at 1", 0.45L, 1, true, " .4"},
      {"0.55 at 1", 0.55L, 1, true, " .6"},
      {"9.5 at 1 (carry)", 9.5L, 1, true, " 1E+1"},
      {"0.95 at 1 (carry to 1)", 0.95L, 1, true, " 1"},
      {"1234567.5 at 18", 1234567.5L, 18, true, " 1234567.5"},
      {"1234567.5 at 0 (means 18)", 1234567.5L, 0, true, " 1234567.5"},
      {"1234567.5 at 19 (means 18)", 1234567.5L, 19, true, " 1234567.5"},
      {"1234567.5 at -1 (means 18)", 1234567.5L, -1, true, " 1234567.5"},
      {"float 0.1 at 18", kFloatNearestTenth, 18, true, " .100000001490116119"},
      {"123456789012345678 at 18", 123456789012345678.0L, 18, true,
       " 123456789012345678"},
      {"1234567890123456789 at 18 (19th digit rounds)", 1234567890123456789.0L, 18,
       true, " 1.23456789012345679E+18"},
      {"999999999999999998.5 at 18 (even stays)", 0xDE0B6B3A763FFFE8p-4L, 18,
       true, " 999999999999999998"},
      {"999999999999999999.5 at 18 (becomes 10^18)", 0xDE0B6B3A763FFFF8p-4L, 18,
       true, " 1E+18"},
      {"2^64 - 1 at 18", 0xFFFFFFFFFFFFFFFFp0L, 18, true, " 1.84467440737095516E+19"},
  };
  ExpectFormats(cases);
}

// Single-precision values are widened exactly, so their binary error shows
// once enough digits are asked for.
TEST(FormatNumber, WidenedFloatsAndDoubles) {
  const FormatCase cases[] = {
      {"float 0.3", 0.3f, 7, true, " .3"},
      {"float 0.3 at 18", 0.3f, 18, true, " .300000011920928955"},
      {"float max", FLT_MAX, 7, true, " 3.402823E+38"},
      {"float min normal", FLT_MIN, 7, true, " 1.175494E-38"},
      {"float smallest subnormal", std::numeric_limits<float>::denorm_min(), 7, true,
       " 1.401298E-45"},
      {"float 2^127", 0x1p127f, 8, true, " 1.7014118E+38"},
      {"double 0.1 at 18", 0.1, 18, true, " .100000000000000006"},
      {"double max at 18", DBL_MAX, 18, true, " 1.79769313486231571E+308"},
      {"double smallest subnormal", std::numeric_limits<double>::denorm_min(), 7,
       true, " 4.940656E-324"},
  };
  ExpectFormats(cases);
}

TEST(FormatNumber, ExtremeLongDoubles) {
  const FormatCase cases[] = {
      {"long double max", 0xFFFFFFFFFFFFFFFFp+16320L, 7, true, " 1.189731E+4932"},
      // Scaled values just above a half that a long double holds as the
      // half itself (118973149535723176.502 as …176.5): still the nearest.
      {"long double max at 18", 0xFFFFFFFFFFFFFFFFp+16320L, 18, true,
       " 1.18973149535723177E+4932"},
      {"0x8.00044p-565 at 18", 0x8.00044p-565L, 18, true, " 6.62439098263529113E-170"},
      {"-long double max", -0xFFFFFFFFFFFFFFFFp+16320L, 7, true, "-1.189731E+4932"},
      {"long double min normal", 0x1p-16382L, 18, true, " 3.36210314311209351E-4932"},
      {"smallest subnormal", 0x1p-16445L, 7, true, " 3.6452E-4951"},
      {"smallest subnormal at 18", 0x1p-16445L, 18, true, " 3.6451995318824746E-4951"},
      {"smallest subnormal at 1", 0x1p-16445L, 1, true, " 4E-4951"},
      {"1E4000", 1e4000L, 18, true, " 1E+4000"},
      {"1E-30", 1e-30L, 18, true, " 1E-30"},
      {"1E-4000", 1e-4000L, 7, true, " 1E-4000"},
  };
  ExpectFormats(cases);
}

// Where 10^n is not exact, a power rounded once to long double before the
// multiplication or division gives a different last digit for these values.
TEST(FormatNumber, ScalingBeyondExactPowersIsNearest) {
  const FormatCase cases[] = {
      {"0xE5F456AAD6CFF718p-14034", 0xE5F456AAD6CFF718p-14034L, 18, true,
       " 3.66743497469716775E-4206"},
      {"0x83A205AD2E1F558Ep-888", 0x83A205AD2E1F558Ep-888L, 18, true,
       " 4.59629668408402891E-249"},
      {"0x92B1D3F28EDE0D7Ap+13128", 0x92B1D3F28EDE0D7Ap+13128L, 18, true,
       " 8.82829995423985093E+3970"},
      {"0xF2158370D269A9A5p+4862", 0xF2158370D269A9A5p+4862L, 18, true,
       " 7.07106498072157271E+1482"},
  };
  ExpectFormats(cases);
}

TEST(FormatNumber, ZeroNanAndInfinity) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const FormatCase cases[] = {
      {"-0", -0.0L, 7, true, " 0"},
      {"-0 bare", -0.0L, 7, false, "0"},
      {"NaN", nan, 7, true, " 0"},
      {"NaN bare", nan, 7, false, "0"},
      {"-NaN", -nan, 7, true, " 0"},
      {"infinity", inf, 7, true, " 9.999999E+998"},
      {"-infinity", -inf, 7, true, "-9.999999E+998"},
      {"infinity bare", inf, 7, false, "9.999999E+998"},
      {"infinity at 1", inf, 1, true, " 9E+998"},
      {"infinity at 3", inf, 3, true, " 9.99E+998"},
      {"infinity at 0 (means 18)", inf, 0, true, " 9.99999999999999999E+998"},
      {"float infinity", std::numeric_limits<float>::infinity(), 7, true,
       " 9.999999E+998"},
  };
  ExpectFormats(cases);
}

// ---------------------------------------------------------------- Parse

TEST(ParseNumber, DecimalText) {
  const ParseCase cases[] = {
      {"  12", 12.0L},
      {"\t\n 7", 7.0L},
      {"12abc", 12.0L},
      {"12 34", 12.0L},
      {"1.5.3", 1.5L},
      {"+.5", 0.5L},
      {"-.5", -0.5L},
      {"5.", 5.0L},
      {"-12.25", -12.25L},
      {"00100", 100.0L},
      {"1e3", 1000.0L},
      {"2.5e-1", 0x1p-2L},
      {"1d2", 100.0L},
      {"5d-1", 0.5L},
      {"1E", 1.0L},
      {"1e+", 1.0L},
      {"1e-", 1.0L},
      {"1e3.5", 1000.0L},
      {"1E0009", 1e9L},
      {"1,500", 1.0L},
      // 0.05 is one division by an exact 100: the long double nearest 0.05.
      {".05", 0xCCCCCCCCCCCCCCCDp-68L},
      {"0.1", 0xCCCCCCCCCCCCCCCDp-67L},
      {"0000.00012", 0xFBA8826AA8EB4635p-77L},
      {"1.5e-7", 0xA10FAFA06C1BB20Dp-86L},
      {"3.4028235e38", 0xFFFFFF2A6D7FC1BFp+64L},
  };
  ExpectParses(cases);
}

TEST(ParseNumber, TextWithoutDigitsReadsAsZero) {
  const ParseCase cases[] = {
      {"", 0.0L},     {"abc", 0.0L}, {"-", 0.0L},   {".", 0.0L},  {"E5", 0.0L},
      {"- 5", 0.0L},  {"\r5", 0.0L}, {"\v5", 0.0L}, {"+-5", 0.0L}, {".e5", 0.0L},
      {"0e9999", 0.0L}, {"0.000", 0.0L},
  };
  ExpectParses(cases);
}

// Digits after the 18th are cut off, not rounded, but keep their places.
TEST(ParseNumber, UsesEighteenSignificantDigits) {
  const ParseCase cases[] = {
      {"1234567890123456789", 1234567890123456780.0L},
      {"123456789012345678.9", 123456789012345678.0L},
      {"0.1234567890123456789", 0xFCD6E9BA37B2F85Dp-67L},
      {"0.0000000000000000000000001e25", 1.0L},
  };
  ExpectParses(cases);
}

TEST(ParseNumber, MagnitudeLimits) {
  const ParseCase cases[] = {
      {"1e9999", 0x1p127L},
      {"-1e9999", -0x1p127L},
      {"1e99999", 0x1p127L},
      {"1e-9999", 0.0L},
      {"-1e-9999", 0.0L},
      {"1e4932", 0x1p127L},
      {"0.1e4933", 0x1p127L},
      {"10e4931", 0x1p127L},
      {"1e4931", 0xAC23C22116CBF8A4p+16317L},
      {"9.999e4931", 0xD727307E49014E7Bp+16320L},
      {"1e-4934", 0.0L},
      {"0.01e-4932", 0.0L},
      {"1e40", 0xEB194F8E1AE525FDp+69L},
      {"1e-30", 0xA2425FF75E14FC32p-163L},
      // Subnormal: rounded once to the bits left, not first to 64 bits.
      {"3e-4932", 0x7236d75ad7ba07d1p-16445L},
  };
  ExpectParses(cases);
}

TEST(ParseNumber, SmallestMagnitudeStillReadIsNotZero) {
  // The position of the point plus the exponent is -4932 in all three.
  for (const char* text : {"1e-4933", "0.1e-4932", "0.01e-4931"}) {
    SCOPED_TRACE(text);
    const long double value = ParseNumber(text);
    EXPECT_GT(value, 0x1p-16445L);
    EXPECT_NEAR(static_cast<double>(value / 1e-4933L), 1.0, 1e-15);
  }
}

TEST(ParseNumber, StoredToFloat) {
  EXPECT_EQ(static_cast<float>(ParseNumber("1e40")),
            std::numeric_limits<float>::infinity());
  EXPECT_EQ(static_cast<float>(ParseNumber("-1e40")),
            -std::numeric_limits<float>::infinity());
  EXPECT_EQ(static_cast<float>(ParseNumber("1e9999")), 0x1p127f);
  EXPECT_EQ(static_cast<float>(ParseNumber("-1e9999")), -0x1p127f);
  EXPECT_EQ(static_cast<float>(ParseNumber(".1")), kFloatNearestTenth);
  EXPECT_EQ(static_cast<float>(ParseNumber("16.66667")), 0x1.0aaaaep+4f);
}

// Where 10^n is not exact, dividing or multiplying by a power rounded once to
// long double gives the neighbouring long double for these texts.
TEST(ParseNumber, ScalingBeyondExactPowersIsNearest) {
  const ParseCase cases[] = {
      {"796272403717381109e-2590", 0xCBFA84CD84498C20p-8608L},
      {"640988058361946025e-2284", 0xE9D4122E24F9F281p-7592L},
      {"367387862583790661e3583", 0xE1BA870E2AA2FE49p+11897L},
      {"886271868959472459e3535", 0xC6F608AFC741DD18p+11739L},
  };
  ExpectParses(cases);
}

TEST(ParseNumber, RadixIntegers) {
  const ParseCase cases[] = {
      {"&H10", 16.0L},
      {"&hff", 255.0L},
      {"&HfF", 255.0L},
      {"&B101", 5.0L},
      {"&b102", 2.0L},
      {"&17", 15.0L},
      {"&18", 1.0L},
      {"&O17", 15.0L},
      {"&o17", 15.0L},
      {"&Q17", 15.0L},
      {"&q17", 15.0L},
      {"&HFG", 15.0L},
      {" \t&H10", 16.0L},
      {"&H", 0.0L},
      {"&B", 0.0L},
      {"&", 0.0L},
      {"&X1", 0.0L},
      {"&9", 0.0L},
      {"-&H10", 0.0L},
      {"&H7FFF", 32767.0L},
      {"&H10000", 65536.0L},
      {"&HFFFFFFFFFFFFFFFF", 0xFFFFFFFFFFFFFFFFp0L},
      {"&H10000000000000000", 0.0L},
      {"&H00000000000000000001", 1.0L},
  };
  ExpectParses(cases);
}

TEST(ParseNumber, RadixSignReadings) {
  const ParseCase cases[] = {
      {"&HFFFF", -1.0L},
      {"&H8000", -32768.0L},
      {"&100000", -32768.0L},
      {"&177777", -1.0L},
      {"&HFFFF%", -1.0L},
      {"&H0FFFF", 65535.0L},
      {"&0177777", 65535.0L},
      {"&HFFFF&", 65535.0L},
      {"&HFFFF&&", 65535.0L},
      {"&H80000000", -2147483648.0L},
      {"&HFFFFFFFF", -1.0L},
      {"&H80000000&", -2147483648.0L},
      {"&H80000000&&", 2147483648.0L},
      {"&H080000000", 2147483648.0L},
      {"&H100000000", 4294967296.0L},
      {"&HFFFF?", 65535.0L},
      {"&HFFFFFFFF?", 4294967295.0L},
      {"&HFFFF??", 65535.0L},
      {"&H7FFFFFFFFFFFFFFF?", 0x7FFFFFFFFFFFFFFFp0L},
      {"&H8000000000000000?", 0.0L},
      {"&HFFFFFFFFFFFFFFFF??", 0.0L},
  };
  ExpectParses(cases);
}

// ---------------------------------------------------------------- Header

TEST(NumberTextHeader, CommentExamplesHold) {
  EXPECT_EQ(FormatNumber(1234567.5L, 7, true), " 1234568");
  EXPECT_EQ(FormatNumber(1234568.5L, 7, true), " 1234568");
  EXPECT_EQ(FormatNumber(1234568.5625L, 7, true), " 1234568");
  EXPECT_EQ(FormatNumber(-0.25L, 7, true), "-.25");
  EXPECT_EQ(FormatNumber(1000000.0L, 7, true), " 1000000");
  EXPECT_EQ(FormatNumber(10000000.0L, 7, true), " 1E+7");
  EXPECT_EQ(FormatNumber(0.00000015L, 7, true), " 1.5E-7");
  EXPECT_EQ(FormatNumber(113.0L, 7, false), "113");
  EXPECT_EQ(FormatNumber(0.5L, 7, false), ".5");
  EXPECT_EQ(FormatNumber(0.0L, 7, true), " 0");
  EXPECT_EQ(FormatNumber(std::numeric_limits<long double>::quiet_NaN(), 7, true), " 0");
  EXPECT_EQ(FormatNumber(std::numeric_limits<long double>::infinity(), 7, true),
            " 9.999999E+998");

  EXPECT_EQ(ParseNumber("  2.5e-1x"), 0.25L);
  EXPECT_EQ(ParseNumber("1,500"), 1.0L);
  EXPECT_EQ(ParseNumber("- 5"), 0.0L);
  EXPECT_EQ(ParseNumber("1e9999"), 0x1p127L);
  EXPECT_EQ(ParseNumber("&HFFFF"), -1.0L);
  EXPECT_EQ(ParseNumber("&HFFFF&"), 65535.0L);
  EXPECT_EQ(ParseNumber("&H0FFFF"), 65535.0L);
  EXPECT_EQ(ParseNumber("&17"), 15.0L);
}

// ---------------------------------------------------------------- Round trips

// Nine significant digits single out every float, even with the next-digit
// rounding; the sweep covers all binades, subnormals and both signs.
TEST(NumberTextRoundTrip, FloatsSurviveNineDigits) {
  std::vector<float> values = {FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN,
                               kFloatNearestTenth, 16.666666f, 0.0f, -0.0f};
  for (int exponent = -149; exponent <= 127; ++exponent) {
    values.push_back(std::ldexp(1.0f, exponent));
    values.push_back(std::nextafter(std::ldexp(1.0f, exponent), 0.0f));
  }
  std::mt19937 random(0x5eed1234u);
  while (values.size() < 200000) {
    const std::uint32_t bits = random();
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
  }

  int failures = 0;
  for (const float value : values) {
    const std::string text = FormatNumber(value, 9, false);
    const float back = static_cast<float>(ParseNumber(text));
    if (back != value) {
      ADD_FAILURE() << std::hexfloat << value << " -> '" << text << "' -> " << back;
      if (++failures == 10) break;
    }
  }
}

// 18 digits are within 5e-18 of the value, well inside half a double's ulp.
TEST(NumberTextRoundTrip, DoublesSurviveEighteenDigits) {
  std::mt19937_64 random(0x5eed5678u);
  int failures = 0;
  for (int i = 0; i < 50000; ++i) {
    const std::uint64_t bits = random();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    const std::string text = FormatNumber(value, 18, true);
    const double back = static_cast<double>(ParseNumber(text));
    if (back != value) {
      ADD_FAILURE() << std::hexfloat << value << " -> '" << text << "' -> " << back;
      if (++failures == 10) break;
    }
  }
}

// Over the whole exponent range that still reads back (1E-4900 to 1E+4900),
// 18 digits land within half a unit of the 18th digit.
TEST(NumberTextRoundTrip, LongDoublesComeBackWithinEighteenDigits) {
  std::mt19937_64 random(0x5eed9abcu);
  std::uniform_int_distribution<int> binaryExponent(-16270, 16270);
  int failures = 0;
  for (int i = 0; i < 20000; ++i) {
    const long double value =
        std::ldexp(static_cast<long double>(random() | (1ULL << 63)), binaryExponent(random) - 63);
    const std::string text = FormatNumber(value, 18, true);
    const long double back = ParseNumber(text);
    if (!(std::fabs(back - value) <= value * 0x1p-57L)) {
      ADD_FAILURE() << std::hexfloat << value << " -> '" << text << "' -> " << back;
      if (++failures == 10) break;
    }
  }
}

}  // namespace
}  // namespace halvex

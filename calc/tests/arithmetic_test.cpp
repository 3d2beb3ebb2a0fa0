#include "calc/arithmetic.h"

#include <gtest/gtest.h>
#include <quadmath.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace halvex {
namespace {

TEST(Arithmetic, X87RoundsToTheExtendedSignificand) {
  EXPECT_TRUE(X87PrecisionIsExtended());
  // 1 + 2^-60 survives only with a 64-bit significand.
  volatile long double tiny = 0x1p-60L;
  EXPECT_NE(1 + tiny, 1.0L);
}

// How far `value` lies from the nearest number on a grid of spacing `step`
// shifted by `offset`, relative to `value`.
__float128 RelativeDistance(__float128 value, __float128 step, __float128 offset) {
  const __float128 k = roundq((value - offset) / step);
  return fabsq(value - offset - k * step) / value;
}

// Every 10^x the chain can reach while the power is neither 0 nor infinite:
// x = levelOver1W / 10, where levelOver1W is a float stored from a whole
// number of tenths, and x = (6 + 2D) / 20 for each deviation of the list.
// For each, the 113-bit value must lie clear of the halfway points between
// long doubles (so rounding it once is correct on any platform), and the
// chain's floor of ten times it must be the floor of the true value.
TEST(Arithmetic, Pow10IsCorrectlyRoundedAndFloorsExactlyWhereverTheChainReaches) {
  const __float128 kMargin = static_cast<__float128>(0x1p-100L);
  int checked = 0;
  auto check = [&](long double x, bool floored) {
    const __float128 exact = powq(10, static_cast<__float128>(x));
    const long double y = Pow10(x);
    ASSERT_EQ(y, static_cast<long double>(exact));
    int exponent = 0;
    std::frexp(y, &exponent);
    const __float128 ulp = ldexpq(1, exponent - 64);
    if (y != exact) {
      EXPECT_GT(RelativeDistance(exact, ulp, ulp / 2), kMargin) << "x = " << static_cast<double>(x);
    }
    // Above 2^56 the long double product keeps no fraction to floor and the
    // stored float not even whole watts.
    const __float128 tenTimes = 10 * exact;
    if (floored && tenTimes < 0x1p56L) {
      EXPECT_EQ(std::floor(10 * y), static_cast<long double>(floorq(tenTimes))) << "x = " << static_cast<double>(x);
      if (tenTimes != roundq(tenTimes)) {
        EXPECT_GT(RelativeDistance(tenTimes, 1, 0), kMargin) << "x = " << static_cast<double>(x);
      }
    }
    ++checked;
  };
  // Below -10.x the power floors to 0; above 385.x it overflows a float.
  for (int tenths = -200; tenths <= 4000; ++tenths) {
    const float levelOver1W = static_cast<float>(static_cast<long double>(tenths) / 10);
    check(static_cast<long double>(levelOver1W) / 10, true);
  }
  for (int deviation = 0; deviation <= 6; ++deviation) {
    const float a = static_cast<float>(6 + 2 * static_cast<long double>(deviation));
    check(a / 20.0L, false);
  }
  EXPECT_EQ(checked, 4201 + 7);
}

// Away from the chain's values too: random x over the whole finite range of
// results, each compared with the 113-bit value rounded once, wherever that
// value is clear of a halfway point.
TEST(Arithmetic, Pow10MatchesThe113BitValueRoundedOnce) {
  std::uint64_t state = 88172645463325252u;
  int compared = 0;
  for (int i = 0; i < 20000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const long double x = (static_cast<long double>(state >> 11) / 0x1p53L - 0.5L) * (i % 2 == 0 ? 80 : 9800);
    const __float128 exact = powq(10, static_cast<__float128>(x));
    const long double rounded = static_cast<long double>(exact);
    if (!(rounded > 0x1p-16382L) || std::isinf(rounded)) continue;
    int exponent = 0;
    std::frexp(rounded, &exponent);
    const __float128 ulp = ldexpq(1, exponent - 64);
    if (RelativeDistance(exact, ulp, ulp / 2) < static_cast<__float128>(0x1p-100L)) continue;
    ASSERT_EQ(Pow10(x), rounded) << "x = " << static_cast<double>(x);
    ++compared;
  }
  EXPECT_GT(compared, 19000);
}

TEST(Arithmetic, Pow10ExactPowersAndEdges) {
  EXPECT_EQ(Pow10(0), 1.0L);
  EXPECT_EQ(Pow10(1), 10.0L);
  EXPECT_EQ(Pow10(-1), 0.1L);
  EXPECT_EQ(Pow10(27), 1e27L);
  EXPECT_EQ(Pow10(5000), HUGE_VALL);
  EXPECT_EQ(Pow10(-5000), 0.0L);
  EXPECT_EQ(Pow10(HUGE_VALL), HUGE_VALL);
  EXPECT_EQ(Pow10(-HUGE_VALL), 0.0L);
  EXPECT_TRUE(std::isnan(Pow10(NAN)));
}

}  // namespace
}  // namespace halvex

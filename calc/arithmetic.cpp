#include "calc/arithmetic.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace halvex {

bool X87PrecisionIsExtended() {
  unsigned short control = 0;
  __asm__ volatile("fnstcw %0" : "=m"(control));
  return ((control >> 8) & 3) == 3;  // precision control: 11 = 64-bit significand
}

namespace {

// A value as the unevaluated sum of two long doubles, |lo| at most half an
// ulp of hi: about 128 bits of precision from plain x87 arithmetic.
struct Pair {
  long double hi, lo;
};

// a + b exactly, given |a| >= |b|.
Pair FastTwoSum(long double a, long double b) {
  const long double s = a + b;
  return {s, b - (s - a)};
}

Pair TwoSum(long double a, long double b) {
  const long double s = a + b;
  const long double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Splits a 64-bit significand into two halves of 32 bits.
void Split(long double a, long double& hi, long double& lo) {
  const long double t = (0x1p32L + 1) * a;
  hi = t - (t - a);
  lo = a - hi;
}

// a * b exactly.
Pair TwoProduct(long double a, long double b) {
  long double aHi, aLo, bHi, bLo;
  Split(a, aHi, aLo);
  Split(b, bHi, bLo);
  const long double p = a * b;
  return {p, ((aHi * bHi - p) + aHi * bLo + aLo * bHi) + aLo * bLo};
}

Pair Add(Pair a, Pair b) {
  Pair s = TwoSum(a.hi, b.hi);
  const Pair t = TwoSum(a.lo, b.lo);
  s = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(s.hi, s.lo + t.lo);
}

Pair Multiply(Pair a, Pair b) {
  const Pair p = TwoProduct(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

Pair Divide(Pair a, int k) {
  const long double q = a.hi / k;
  const Pair back = TwoProduct(q, k);
  return FastTwoSum(q, (((a.hi - back.hi) - back.lo) + a.lo) / k);
}

// log2(10) and ln(2) to 128 bits.
constexpr Pair kLog2Of10{0xd49a784bcd1b8afep-62L, 0x9257edfe9b5fb69ap-127L};
constexpr Pair kLn2{0xb17217f7d1cf79acp-64L, -0xd871319ff0342543p-130L};

}  // namespace

namespace {

long double Pow10Computed(long double x) {
  // Beyond these 10^x is infinite or 0 in long double.
  if (x > 4940) return HUGE_VALL;
  if (x < -4960) return 0;
  // 10^x = 2^n * 2^r with n whole and |r| <= 1/2, and 2^r = e^s with s = r ln 2.
  Pair t = TwoProduct(x, kLog2Of10.hi);
  t = FastTwoSum(t.hi, t.lo + x * kLog2Of10.lo);
  const long double n = std::floor(t.hi + 0.5L);
  const Pair r = FastTwoSum(t.hi - n, t.lo);  // t.hi - n is exact
  Pair s = Multiply(r, kLn2);
  // e^s = (e^(s / 256))^256: a short series for the small argument, then
  // eight squarings.
  s = {std::ldexp(s.hi, -8), std::ldexp(s.lo, -8)};
  Pair e{1, 0};
  for (int k = 11; k >= 1; --k) e = Add({1, 0}, Divide(Multiply(s, e), k));
  for (int i = 0; i < 8; ++i) e = Multiply(e, e);
  // The one rounding to long double; the scaling by 2^n is exact.
  return std::ldexp(e.hi + e.lo, static_cast<int>(n));
}

}  // namespace

long double Pow10(long double x) {
  if (std::isnan(x)) return x;
  // A project plans thousands of rooms from a few dozen levels, and the
  // series costs about a microsecond: the last results are kept by their
  // argument, which gives the same bits for a fraction of the cost.
  // All zero at the start, so that the table takes no room in the program
  // file (an initial image of it would be 96 KiB on Windows).
  struct Entry {
    long double x, y;
    bool filled;
  };
  constexpr std::size_t kEntries = 4096;
  thread_local Entry cache[kEntries];
  unsigned char bits[sizeof(long double)] = {};
  std::memcpy(bits, &x, 10);  // the x87 format's ten bytes; the rest is padding
  std::size_t hash = 14695981039346656037ull & SIZE_MAX;
  for (int i = 0; i < 10; ++i) hash = (hash ^ bits[i]) * (1099511628211ull & SIZE_MAX);
  Entry& entry = cache[hash % kEntries];
  if (entry.filled && entry.x == x) return entry.y;
  entry.x = x;
  entry.y = Pow10Computed(x);
  entry.filled = true;
  return entry.y;
}

namespace {

// Checked once at start-up: a program whose x87 unit rounds to fewer bits
// would compute different results without any other sign.
const bool kPrecisionChecked = [] {
  if (!X87PrecisionIsExtended()) {
    std::fputs("x87 precision control is not set to 64 bits\n", stderr);
    std::abort();
  }
  return true;
}();

}  // namespace

}  // namespace halvex

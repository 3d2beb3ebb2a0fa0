#include "calc/arithmetic.h"

#include <quadmath.h>

#include <cstdio>
#include <cstdlib>

namespace halvex {

bool X87PrecisionIsExtended() {
  unsigned short control = 0;
  __asm__ volatile("fnstcw %0" : "=m"(control));
  return ((control >> 8) & 3) == 3;  // precision control: 11 = 64-bit significand
}

long double Pow10(long double x) {
  // powq is accurate to an ulp of 113 bits: the one rounding to 64 bits that
  // follows is correct unless the true value lies within about 2^-105 of a
  // halfway point, which no value the calculation reaches does (its tests
  // check every one).
  return static_cast<long double>(powq(10, static_cast<__float128>(x)));
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

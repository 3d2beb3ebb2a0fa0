// The floating-point ground the calculation stands on, the same on every
// platform: long double is the x87 type with a 64-bit significand, the x87
// unit rounds to that precision, and 10^x is correctly rounded rather than
// left to the C library (whose powl differs between platforms by many ulps).
#pragma once

#include <limits>

namespace halvex {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the calculation needs the x87 extended type for long double");

// True when the x87 unit's precision control is set to the 64-bit
// significand. Some runtimes start processes at 53 bits, which would round
// every long double step like a double.
bool X87PrecisionIsExtended();

// 10^x rounded to long double from a value good to about 2^-115: correctly
// rounded for every x whose 10^x is not within that of a halfway point
// between long doubles, which the tests check for every x the calculation
// reaches. NaN stays NaN, overflow gives infinity, underflow 0.
long double Pow10(long double x);

}  // namespace halvex

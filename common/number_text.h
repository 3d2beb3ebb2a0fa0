// The one way numbers become text and text becomes numbers, in both programs.
//
// Both conversions work on long double (x87 extended precision, 64-bit
// significand), never fail, never throw and do not depend on the locale or
// on the C library's own conversions.
#pragma once

#include <string>
#include <string_view>

namespace halvex {

// Writes `value` with at most `digits` significant digits (1 to 18; any
// other request means 18).
//
// The magnitude is first scaled to the 18-digit integer nearest to it (ties
// to even). The kept digits are then rounded by the one digit that follows
// them: above 5 rounds up, below 5 leaves them, and exactly 5 rounds up only
// an odd last digit. Digits after that one are never looked at:
//   FormatNumber(1234567.5,    7, true) -> " 1234568"  (5 lifts the odd 7)
//   FormatNumber(1234568.5,    7, true) -> " 1234568"  (5 leaves the even 8)
//   FormatNumber(1234568.5625, 7, true) -> " 1234568"  (the 625 is not seen)
//
// Trailing zeros are dropped and no "0" stands before the point. The plain
// form is used while it needs at most `digits` places, else the exponent form:
//   FormatNumber(-0.25,      7, true)  -> "-.25"
//   FormatNumber(1000000,    7, true)  -> " 1000000"
//   FormatNumber(10000000,   7, true)  -> " 1E+7"
//   FormatNumber(0.00000015, 7, true)  -> " 1.5E-7"
//
// signBlank puts a blank where a "-" would stand; without it the text starts
// with the first digit or the point ("113", ".5"). Zero and NaN give " 0";
// infinity gives nines at exponent 998: " 9.999999E+998" at 7 digits.
std::string FormatNumber(long double value, int digits, bool signBlank);

// Reads a number from the start of `text`; whatever follows it is ignored
// and text that is not a number reads as 0. Blanks, tabs and line feeds in
// front are skipped (nothing else is).
//
// Decimal: optional sign, digits with one point, optional exponent after
// E, e, D or d (its magnitude capped at 9999, no digits meaning 0). The first
// 18 significant digits are used; later ones only count for the magnitude.
// The result is the long double nearest that mantissa times the power of
// ten. From 1E+4932 up it is 2^127 with the sign; below 1E-4933 it is 0:
//   ParseNumber("  2.5e-1x") -> 0.25       ParseNumber("1,500") -> 1
//   ParseNumber("- 5")       -> 0          ParseNumber("1e9999") -> 0x1p127
//
// "&" reads an integer: &H hex, &B binary, &O, &Q or a bare & octal, then
// optionally one of the suffixes %, &, &&, ?, ??. A value with no digits or
// wider than 64 bits reads as 0. A 16-bit value with bit 15 set and a 32-bit
// value with bit 31 set read as negative, unless the first digit is 0; the
// suffix & keeps 16-bit values positive, && and ? (or ??) keep both
// positive, and with ? or ?? a value with bit 63 set reads as 0:
//   ParseNumber("&HFFFF") -> -1   ParseNumber("&HFFFF&") -> 65535
//   ParseNumber("&H0FFFF") -> 65535   ParseNumber("&17") -> 15
long double ParseNumber(std::string_view text);

}  // namespace halvex

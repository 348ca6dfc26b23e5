#pragma once
// Numbers as the restored tape writes and reads them. None of this depends on
// the process locale: the tape always uses "." and plain ASCII digits.

#include <cstdint>
#include <string>
#include <string_view>

namespace fjl::restore {

// Plain decimal, "-" for negatives, no grouping.
std::string Decimal(std::int64_t value);

// `value` in units of 10^-digits_after_point: written with at least three
// characters, zero-padded after the sign, then "." put before the last
// `digits_after_point` digits. (5, 2) "0.05", (12345, 2) "123.45",
// (0, 2) "0.00", (-5, 2) "-.05", (-500, 2) "-5.00", (1500, 3) "1.500",
// (5, 3) ".005". A negative value with fewer digits than digits_after_point
// gets its digits padded, so (-5, 3) is "-.005", never ".-05".
std::string FixedPointText(std::int64_t value, int digits_after_point);

// The decimal value of a printer text: leading blanks skipped, an optional
// sign, then the digits up to the first non-digit; no digits reads as 0.
// Values beyond 64 bits saturate.
std::int64_t DecimalValue(std::string_view text);

// A byte as two upper-case hexadecimal digits (how BCD dates are shown).
std::string HexByte(std::uint8_t byte);

}  // namespace fjl::restore

#pragma once
// Upper-case hexadecimal, the only form the printer sends and the tape
// text shows.

#include <cstdint>
#include <optional>
#include <string>

namespace fjl::text {

inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

// '0'..'9' and 'A'..'F' only: the printer never sends lower case, so one is a fault.
constexpr std::optional<std::uint8_t> UpperHexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  return std::nullopt;
}

// Two digits, high first: 0x2A gives "2A".
inline void AppendHexByte(std::string& text, std::uint8_t byte) {
  text += kUpperHexDigits[byte >> 4];
  text += kUpperHexDigits[byte & 0x0F];
}

// `value` in upper-case hexadecimal, at least `min_digits` digits (zeros in
// front): UpperHex(0x2A) gives "2A", UpperHex(5, 4) gives "0005". The digits
// are written from the right into a buffer and the string is only ever
// appended to: inserting at the front of a std::string makes the 32-bit GCC
// see an overlapping copy that cannot happen (-Wrestrict).
inline std::string UpperHex(std::uint32_t value, int min_digits = 1) {
  // Eight digits hold any 32-bit value.
  char digits[8];
  std::size_t first = sizeof(digits);
  do {
    digits[--first] = kUpperHexDigits[value & 0x0F];
    value >>= 4;
  } while (value != 0);
  const std::size_t count = sizeof(digits) - first;
  std::string text;
  if (min_digits > 0 && static_cast<std::size_t>(min_digits) > count) {
    text.assign(static_cast<std::size_t>(min_digits) - count, '0');
  }
  text.append(digits + first, count);
  return text;
}

}  // namespace fjl::text

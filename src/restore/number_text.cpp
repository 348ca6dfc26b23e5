#include "restore/number_text.h"

#include "text/hex_text.h"

#include <charconv>
#include <cstddef>
#include <limits>

namespace fjl::restore {

std::string Decimal(std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string FixedPointText(std::int64_t value, int digits_after_point) {
  const std::size_t after = digits_after_point > 0 ? static_cast<std::size_t>(digits_after_point) : 0;
  const bool negative = value < 0;
  // The magnitude as unsigned, so the most negative value converts too.
  const std::uint64_t magnitude =
      negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
  std::string digits(buffer, result.ptr);

  // Three characters at least, the sign counting as one of them.
  const std::size_t min_digits = negative ? 2 : 3;
  if (digits.size() < min_digits) digits.insert(0, min_digits - digits.size(), '0');
  if (digits.size() < after) digits.insert(0, after - digits.size(), '0');

  std::string text;
  text.reserve(digits.size() + 2);
  if (negative) text += '-';
  text.append(digits, 0, digits.size() - after);
  if (after > 0) {
    text += '.';
    text.append(digits, digits.size() - after, after);
  }
  return text;
}

std::int64_t DecimalValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr std::uint64_t kLimit = std::uint64_t{std::numeric_limits<std::int64_t>::max()} + 1;
  std::uint64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const auto digit = static_cast<std::uint64_t>(text[i] - '0');
    magnitude = magnitude > (kLimit - digit) / 10 ? kLimit : magnitude * 10 + digit;
  }
  if (negative) {
    return magnitude >= kLimit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
  }
  return magnitude >= kLimit ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
}

std::string HexByte(std::uint8_t byte) {
  std::string text;
  text::AppendHexByte(text, byte);
  return text;
}

}  // namespace fjl::restore

#include "tape/flash_reply.h"

namespace fjl::tape {

std::int64_t LenientCount(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMaxLenientCount) {
      value = kMaxLenientCount;
      break;
    }
  }
  return negative ? -value : value;
}

bool CountHasDigits(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

std::size_t DecodeHexBytes(std::string_view hex, std::span<std::uint8_t> out) {
  for (std::size_t k = 0; k < out.size(); ++k) {
    if (2 * k + 1 >= hex.size()) return k;
    const auto low = HexDigitValue(hex[2 * k + 1]);
    if (!low) return k;
    const auto high = HexDigitValue(hex[2 * k]);
    if (!high) return k;
    out[k] = static_cast<std::uint8_t>(*high * 16 + *low);
  }
  return out.size();
}

std::string StatusBytesText(const std::array<std::uint8_t, 6>& status) {
  std::string line;
  line.reserve(17);
  for (std::size_t i = 0; i < status.size(); ++i) {
    if (i > 0) line += ' ';
    text::AppendHexByte(line, status[i]);
  }
  return line;
}

}  // namespace fjl::tape

#include "tape/flash_reply.h"

namespace fjl::tape {

std::optional<std::int64_t> ParseChunkCount(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kMaxChunkCount) return std::nullopt;
  }
  return value;
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

#include "dump/crc32c.h"

#include <array>

#include "text/hex_text.h"

namespace fjl::dump {
namespace {

// The reflected Castagnoli polynomial.
constexpr std::uint32_t kPolynomial = 0x82F63B78u;

constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t crc = i;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) != 0 ? kPolynomial : 0u);
    table[i] = crc;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();

}  // namespace

void Crc32c::Add(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = state_;
  for (const std::uint8_t byte : bytes) crc = (crc >> 8) ^ kTable[(crc ^ byte) & 0xFFu];
  state_ = crc;
}

std::uint32_t Crc32cOf(std::span<const std::uint8_t> bytes) {
  Crc32c crc;
  crc.Add(bytes);
  return crc.Value();
}

std::string DigestText(std::uint32_t digest) { return text::UpperHex(digest, 8); }

std::optional<std::uint32_t> ParseDigest(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : text) {
    const auto digit = text::UpperHexDigitValue(c);
    if (!digit) return std::nullopt;
    value = value * 16 + *digit;
  }
  return value;
}

}  // namespace fjl::dump

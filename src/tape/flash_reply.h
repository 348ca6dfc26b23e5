#pragma once
// Reading a flash read reply: its byte count, its hexadecimal text and the
// status bytes the windows show.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/hex_text.h"

namespace fjl::tape {

// The byte count the way the printer's counts have always been read: leading
// blanks, an optional sign, then digits up to the first non-digit; 0 when
// there are none. Clamped to +-kMaxLenientCount so that no sum overflows.
inline constexpr std::int64_t kMaxLenientCount = 1'000'000'000'000;
std::int64_t LenientCount(std::string_view text);

// True when the count text holds a number at all (blanks and a sign, then at
// least one digit). A count without one is garbage, not a zero-byte chunk.
bool CountHasDigits(std::string_view text);

// "0".."9" and upper-case "A".."F" only.
constexpr std::optional<std::uint8_t> HexDigitValue(char c) { return text::UpperHexDigitValue(c); }

// Decodes out.size() bytes from pairs of `hex`, high digit first (the low
// digit is checked first). Returns the number of bytes decoded before the
// first bad or missing pair; the bytes before it are already in `out`.
std::size_t DecodeHexBytes(std::string_view hex, std::span<std::uint8_t> out);

// S0..S5 as two upper-case hexadecimal digits each, single blanks between.
std::string StatusBytesText(const std::array<std::uint8_t, 6>& status);

}  // namespace fjl::tape

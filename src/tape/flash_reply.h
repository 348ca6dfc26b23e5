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

// No reply carries more flash bytes than this.
inline constexpr std::int64_t kMaxChunkCount = 100;
// A reply with fewer bytes says the printer's data end there.
inline constexpr std::int64_t kShortChunk = 50;

// The byte count of a reply: decimal digits only (blanks around them are
// allowed), 0 to kMaxChunkCount. Anything else, a sign included, is not a
// count: read leniently, "-100" or "7abc" would pass for a short reply and
// end the download as if it were complete.
std::optional<std::int64_t> ParseChunkCount(std::string_view text);

// "0".."9" and upper-case "A".."F" only.
constexpr std::optional<std::uint8_t> HexDigitValue(char c) { return text::UpperHexDigitValue(c); }

// Decodes out.size() bytes from pairs of `hex`, high digit first (the low
// digit is checked first). Returns the number of bytes decoded before the
// first bad or missing pair; the bytes before it are already in `out`.
std::size_t DecodeHexBytes(std::string_view hex, std::span<std::uint8_t> out);

// S0..S5 as two upper-case hexadecimal digits each, single blanks between.
std::string StatusBytesText(const std::array<std::uint8_t, 6>& status);

}  // namespace fjl::tape

#pragma once
// The command frame the host sends: SOH LEN SEQ CMD data ENQ BCC ETX.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fjl::link {

inline constexpr std::uint8_t kSoh = 0x01;
inline constexpr std::uint8_t kEtx = 0x03;
inline constexpr std::uint8_t kEot = 0x04;
inline constexpr std::uint8_t kEnq = 0x05;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kSyn = 0x16;

// LEN is one byte: 0x20 + data + 4 must stay at or below 0xFF.
inline constexpr std::size_t kMaxFrameData = 219;

// SEQ byte for a sequence counter value (already incremented): 0x20..0x7E.
std::uint8_t SequenceByte(std::uint8_t counter);

// Unsigned sum of the bytes; the frame sends its low 16 bits.
std::uint32_t FrameSum(std::span<const std::uint8_t> bytes);

// Writes the low 16 bits of `sum` as four characters 0x30 + nibble, most
// significant first (nibbles 10..15 become ':' .. '?').
void WriteChecksumCharacters(std::uint32_t sum, std::span<std::uint8_t, 4> out);

// The whole frame for one command, byte for byte. `data` must not be longer
// than kMaxFrameData; the caller refuses longer texts before framing.
std::string BuildRequestFrame(std::uint8_t sequence_byte, std::uint8_t command,
                              std::string_view data);

}  // namespace fjl::link

#pragma once
// The decoded reply of one exchange with the printer.

#include <array>
#include <cstdint>
#include <string>

namespace fjl::link {

// Bits of DeviceResponse::Status. Bits 0..23, 27 and 28 copy printer status
// bits; 24..26 report link failures (at most one of them, and then no printer bit).
enum StatusBit : std::uint32_t {
  StatusS0B0 = 1u << 0,
  StatusS0B1 = 1u << 1,
  StatusS0B2 = 1u << 2,
  StatusS0B4 = 1u << 3,
  StatusS1B0 = 1u << 4,
  StatusS1B1 = 1u << 5,
  StatusS1B2 = 1u << 6,
  StatusS1B3 = 1u << 7,
  StatusS1B4 = 1u << 8,
  StatusS2B0 = 1u << 9,
  StatusS2B3 = 1u << 10,
  StatusS2B5 = 1u << 11,
  StatusS1B5 = 1u << 12,
  StatusS4B2 = 1u << 13,
  StatusS5B5 = 1u << 14,
  StatusS4B0 = 1u << 16,
  StatusS4B4 = 1u << 17,
  StatusS5B0 = 1u << 18,
  StatusS5B2 = 1u << 19,
  StatusS4B3 = 1u << 20,
  StatusS5B1 = 1u << 21,
  StatusS5B3 = 1u << 22,
  StatusS5B4 = 1u << 23,
  StatusBadChecksum = 1u << 24,
  StatusNak = 1u << 25,
  StatusNoReply = 1u << 26,
  StatusS0B5 = 1u << 27,
  StatusS4B5 = 1u << 28,
  // Set together with StatusNoReply when the link refused to send the frame
  // at all (a data text too long for one frame, a command outside one byte).
  StatusNotSent = 1u << 29,
  // Set together with StatusNoReply when the port itself went away (a
  // pulled adapter, a closed line) rather than the printer falling silent.
  StatusLineGone = 1u << 30,
};

inline constexpr int kMaxFields = 20;

// Texts that came from the printer (ErrorCode, ReplyData, Fields, RawReply)
// hold the printer's raw Windows-1251 bytes; convert them where they become a line.
struct DeviceResponse {
  std::int32_t FieldCount = 0;  // fields in use; Fields beyond it are empty
  std::int32_t Command = 0;     // the command code that was sent
  std::uint32_t Status = 0;     // StatusBit flags
  std::string CommandName;      // catalogue name of Command (UTF-8)
  std::string SentData;         // data text sent, before framing
  std::string ReplyData;        // reply data part as received, at most 128 characters
  std::string ErrorCode;        // reply text before the first ';' ("0000" on success)
  std::array<std::string, kMaxFields> Fields{};
  std::array<std::uint8_t, 6> StatusBytes{};  // S0..S5, bit 7 cleared
  std::string SentFrame;                      // the whole frame as sent
  std::string RawReply;                       // every byte received except SYN

  bool NoReply() const { return (Status & StatusNoReply) != 0; }
  bool LineGone() const { return (Status & StatusLineGone) != 0; }
  // Field i, or an empty text when the reply had fewer fields.
  const std::string& Field(int i) const;
};

}  // namespace fjl::link

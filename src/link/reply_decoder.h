#pragma once
// Turns what the receiver collected into the DeviceResponse: checksum check,
// status word, code page, decimal-comma fix-ups and the split into fields.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_response.h"
#include "link/reply_receiver.h"

namespace fjl::link {

// ReplyData keeps at most this many characters of the data part.
inline constexpr std::size_t kReplyDataLimit = 128;

// The status word of the printer's status bytes S0..S5 (bit 7 of each, S3,
// and the bits without a StatusBit are ignored).
std::uint32_t StatusWordOf(std::span<const std::uint8_t, 6> status_bytes);

// Byte tables for a printer that does not speak Windows-1251. The link
// passes text through unchanged (PassThrough); the tables stay for a printer
// firmware that needs them.
extern const std::array<std::uint8_t, 256> kOutgoingCodePage;
extern const std::array<std::uint8_t, 256> kIncomingCodePage;
std::string TranslateOutgoing(std::string_view text, bool pass_through);
std::string TranslateIncoming(std::string_view text, bool pass_through);

// The decimal-comma fix-up of `command` applied to a reply data text
// (commands 50, 53, 62 and 90; any other leaves the text alone).
std::string ApplyDecimalCommaFixup(std::int32_t command, std::string data);

// The data text split at ';' into at most kMaxFields fields. One trailing ';'
// closes the last field. Past the 20th field nothing is split any more: the
// 20th field keeps the rest of the text, ';' included, so no byte is lost.
std::vector<std::string> SplitFields(std::string_view data);

struct DecodeInput {
  const ReplyReceiver& receiver;
  std::int32_t command = 0;    // the command that was sent
  std::string_view sent_data;  // the data text as the caller gave it
  bool pass_through = true;
};

// Fills every field of `response` from one finished wait. Fields beyond
// FieldCount are always emptied, so no field of an earlier reply survives.
void DecodeReply(const DecodeInput& input, DeviceResponse& response);

}  // namespace fjl::link

#include "link/reply_decoder.h"

#include <algorithm>

#include "link/command_catalogue.h"

namespace fjl::link {
namespace {

// One row per status bit that a status byte feeds: byte index, bit in the
// byte, StatusBit. S3 feeds nothing.
struct StatusBitSource {
  std::uint8_t byte;
  std::uint8_t bit;
  std::uint32_t status;
};

constexpr std::array<StatusBitSource, 25> kStatusBitSources = {{
    {0, 0, StatusS0B0}, {0, 1, StatusS0B1}, {0, 2, StatusS0B2}, {0, 4, StatusS0B4},
    {0, 5, StatusS0B5}, {1, 0, StatusS1B0}, {1, 1, StatusS1B1}, {1, 2, StatusS1B2},
    {1, 3, StatusS1B3}, {1, 4, StatusS1B4}, {1, 5, StatusS1B5}, {2, 0, StatusS2B0},
    {2, 3, StatusS2B3}, {2, 5, StatusS2B5}, {4, 0, StatusS4B0}, {4, 2, StatusS4B2},
    {4, 3, StatusS4B3}, {4, 4, StatusS4B4}, {4, 5, StatusS4B5}, {5, 0, StatusS5B0},
    {5, 1, StatusS5B1}, {5, 2, StatusS5B2}, {5, 3, StatusS5B3}, {5, 4, StatusS5B4},
    {5, 5, StatusS5B5},
}};

constexpr std::array<std::uint8_t, 256> MakeOutgoing() {
  std::array<std::uint8_t, 256> t{};
  for (std::size_t i = 0; i < 256; ++i) {
    t[i] = static_cast<std::uint8_t>(i >= 0xC0 ? i - 0x40 : i);
  }
  t[0xA8] = 0x85;
  t[0xAA] = 0xC0;
  t[0xAF] = 0xC2;
  t[0xB2] = 0x49;
  t[0xB3] = 0x69;
  t[0xB8] = 0xA5;
  t[0xBA] = 0xC1;
  t[0xBF] = 0xC3;
  return t;
}

constexpr std::array<std::uint8_t, 256> MakeIncoming() {
  std::array<std::uint8_t, 256> t{};
  for (std::size_t i = 0; i < 256; ++i) {
    t[i] = static_cast<std::uint8_t>(i >= 0x80 && i <= 0x9F ? i + 0x40 : i);
  }
  t[0xAA] = 0xC0;
  t[0xAF] = 0xC2;
  t[0xC0] = 0xAA;
  t[0xC1] = 0xBA;
  t[0xC2] = 0xAF;
  t[0xC3] = 0xBF;
  return t;
}

std::string Translate(std::string_view text, const std::array<std::uint8_t, 256>& table) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<std::uint8_t>(c)]);
  return out;
}

}  // namespace

const std::array<std::uint8_t, 256> kOutgoingCodePage = MakeOutgoing();
const std::array<std::uint8_t, 256> kIncomingCodePage = MakeIncoming();

std::string TranslateOutgoing(std::string_view text, bool pass_through) {
  return pass_through ? std::string(text) : Translate(text, kOutgoingCodePage);
}

std::string TranslateIncoming(std::string_view text, bool pass_through) {
  return pass_through ? std::string(text) : Translate(text, kIncomingCodePage);
}

std::uint32_t StatusWordOf(std::span<const std::uint8_t, 6> status_bytes) {
  std::uint32_t word = 0;
  for (const StatusBitSource& source : kStatusBitSources) {
    if ((static_cast<unsigned>(status_bytes[source.byte]) >> source.bit) & 1u) word |= source.status;
  }
  return word;
}

std::string ApplyDecimalCommaFixup(std::int32_t command, std::string data) {
  if (data.size() <= 1) return data;
  switch (command) {
    case 50:
    case 53:
      data.insert(1, 1, ',');
      break;
    case 62:
      if (data.size() >= 9) data[8] = ',';
      break;
    case 90:
      std::replace(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(20, data.size())),
                   ' ', ',');
      break;
    default:
      break;
  }
  return data;
}

std::vector<std::string> SplitFields(std::string_view data) {
  std::vector<std::string> fields;
  if (data.empty()) return fields;
  std::size_t end = data.size();
  if (data[end - 1] == ';') --end;
  std::size_t start = 0;
  for (std::size_t i = 0; i < end; ++i) {
    if (data[i] != ';' || i + 1 >= end) continue;
    if (fields.size() + 1 == static_cast<std::size_t>(kMaxFields)) break;
    fields.emplace_back(data.substr(start, i - start));
    start = i + 1;
    // The rest of the text loses a trailing ';' of its own as well.
    if (data[end - 1] == ';') --end;
  }
  fields.emplace_back(data.substr(start, end - start));
  return fields;
}

void DecodeReply(const DecodeInput& input, DeviceResponse& response) {
  const ReplyReceiver& rx = input.receiver;
  const bool ended = rx.Ended();
  // A reply closed by ETX before its checksum had arrived cannot be trusted
  // any more than one whose checksum is wrong.
  const bool checksum_failed = ended && (!rx.FrameComplete() || rx.BccValue() != rx.Sum());

  for (std::size_t i = 0; i < response.StatusBytes.size(); ++i) {
    response.StatusBytes[i] = static_cast<std::uint8_t>(rx.StatusRaw()[i] & 0x7F);
  }

  std::uint32_t status = 0;
  if (!ended) {
    status = StatusNoReply;
  } else if (rx.NakMark()) {
    status = StatusNak;
  } else if (checksum_failed) {
    status = StatusBadChecksum;
  } else {
    status = StatusWordOf(response.StatusBytes);
  }

  // Half a frame left by a reply that never ended is no answer: its error
  // code and data are not handed on (the raw reply still shows them).
  const std::string_view received_data = ended ? rx.DataText() : std::string_view();
  const std::string data = TranslateIncoming(received_data, input.pass_through);
  response.ReplyData = data.substr(0, kReplyDataLimit);
  const std::string fixed = ApplyDecimalCommaFixup(input.command, data);

  response.ErrorCode = ended ? std::string(rx.ErrorCodeText()) : std::string();
  response.Status = status;
  response.Command = input.command;
  response.CommandName = std::string(CommandName(input.command));
  response.SentData = std::string(input.sent_data);
  response.RawReply = std::string(rx.RawReply());

  std::vector<std::string> fields = SplitFields(fixed);
  response.FieldCount = static_cast<std::int32_t>(fields.size());
  for (std::size_t i = 0; i < response.Fields.size(); ++i) {
    response.Fields[i] = i < fields.size() ? std::move(fields[i]) : std::string();
  }
}

}  // namespace fjl::link

// Wraps the input in a reply frame with the right LEN and checksum, so the
// fuzzer spends its time in the decoding rather than on the checksum. A frame
// free of the bytes that restart, end or reject a frame (SOH, ETX, NAK) must
// be accepted, and its data must come back unchanged in its fields.
//
// Input: command selector, SEQ, four error-code bytes, six status bytes, then
// the data text (at most 207 bytes; the excess is ignored).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "link/device_response.h"
#include "link/reply_decoder.h"
#include "link/reply_receiver.h"

namespace {

using namespace fjl::link;

constexpr std::array<std::int32_t, 8> kCommands = {0x21, 0x42, 50, 53, 62, 90, 0xF1, 0x48};
constexpr std::size_t kHeader = 12;
constexpr std::size_t kMaxData = 0xFF - 0x30;

void Require(bool condition) {
  if (!condition) std::abort();
}

bool Breaks(std::uint8_t b) { return b == 0x01 || b == 0x03 || b == 0x15; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  const std::int32_t command = kCommands[data[0] % kCommands.size()];
  const std::uint8_t seq = static_cast<std::uint8_t>(0x20 + data[1] % 95);
  std::string error_code(reinterpret_cast<const char*>(data + 2), 4);
  const std::string status(reinterpret_cast<const char*>(data + 6), 6);
  std::string text(reinterpret_cast<const char*>(data + kHeader), std::min(size - kHeader, kMaxData));

  std::string body;
  body.push_back(static_cast<char>(0x30 + text.size()));
  body.push_back(static_cast<char>(seq));
  body.push_back(static_cast<char>(command));
  body += error_code + ";" + text + "\x04" + status + "\x05";
  std::uint32_t sum = 0;
  for (unsigned char c : body) sum += c;
  std::string frame = "\x01" + body;
  for (int shift = 12; shift >= 0; shift -= 4) frame.push_back(static_cast<char>(0x30 + ((sum >> shift) & 0xF)));
  frame.push_back('\x03');

  ReplyReceiver receiver;
  receiver.BeginReply();
  for (char c : frame) receiver.ReceiveByte(static_cast<std::uint8_t>(c));
  DeviceResponse response;
  DecodeReply({receiver, command, "", true}, response);

  Require(response.FieldCount >= 0 && response.FieldCount <= kMaxFields);
  Require(response.ReplyData.size() <= kReplyDataLimit);
  bool clean = true;
  for (unsigned char c : body) clean = clean && !Breaks(c);
  // ';' in the error code would end it early and shift the frame.
  for (char c : error_code) clean = clean && c != ';';
  if (clean) {
    Require((response.Status & (StatusBadChecksum | StatusNak | StatusNoReply)) == 0);
    Require(response.ErrorCode == error_code);
    Require(response.ReplyData == text.substr(0, kReplyDataLimit));
    if (command != 50 && command != 53 && command != 62 && command != 90) {
      // Joining the fields again gives back the text, up to the 20-field cap
      // and the trailing ';' that closes the last field.
      std::string joined;
      for (int i = 0; i < response.FieldCount; ++i) {
        if (i > 0) joined += ';';
        joined += response.Fields[static_cast<std::size_t>(i)];
      }
      std::string trimmed = text;
      while (!trimmed.empty() && trimmed.back() == ';' && joined.size() < trimmed.size()) trimmed.pop_back();
      Require(joined == trimmed || text.empty());
    }
  }
  return 0;
}

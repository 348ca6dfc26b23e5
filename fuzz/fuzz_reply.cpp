// Feeds arbitrary line bytes through the reply receiver and the decoding.
// Whatever arrives, every reply must decode into a record whose texts stay
// within their bounds, whose status word names at most one link failure (and
// then no printer bit), and which never shows a field of an earlier reply.
//
// Input: the first byte picks the command (so the decimal-comma fix-ups get
// their turn), the rest is the line. Each ETX or NAK ends one reply; the
// machine then carries on into the next, as it does between exchanges.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/device_response.h"
#include "link/reply_decoder.h"
#include "link/reply_receiver.h"

namespace {

using namespace fjl::link;

constexpr std::array<std::int32_t, 8> kCommands = {0x21, 0x42, 50, 53, 62, 90, 0xF1, 0x48};
constexpr std::uint32_t kLinkBits = StatusBadChecksum | StatusNak | StatusNoReply;

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckRecord(const DeviceResponse& r) {
  Require(r.FieldCount >= 0 && r.FieldCount <= kMaxFields);
  for (int i = r.FieldCount; i < kMaxFields; ++i) Require(r.Fields[static_cast<std::size_t>(i)].empty());
  Require(r.ReplyData.size() <= kReplyDataLimit);
  Require(r.ErrorCode.size() <= ReplyReceiver::kErrorCodeCapacity);
  Require(r.RawReply.size() <= ReplyReceiver::kRawReplyCapacity);
  const std::uint32_t link_bits = r.Status & kLinkBits;
  Require(link_bits == 0 || link_bits == StatusBadChecksum || link_bits == StatusNak || link_bits == StatusNoReply);
  if (link_bits != 0) Require((r.Status & ~kLinkBits) == 0);
  Require((r.Status & (1u << 15)) == 0 && (r.Status >> 29) == 0);
  for (std::uint8_t b : r.StatusBytes) Require(b < 0x80);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::int32_t command = kCommands[data[0] % kCommands.size()];
  ReplyReceiver receiver;
  DeviceResponse response;
  receiver.BeginReply();
  for (std::size_t i = 1; i < size; ++i) {
    receiver.ReceiveByte(data[i]);
    if (receiver.Ended()) {
      DecodeReply({receiver, command, "0;", true}, response);
      CheckRecord(response);
      receiver.BeginReply();
    }
  }
  // The rest of the line never ended: a reply that did not come.
  DecodeReply({receiver, command, "0;", true}, response);
  CheckRecord(response);
  Require(response.Status == StatusNoReply && response.FieldCount == 0);
  return 0;
}

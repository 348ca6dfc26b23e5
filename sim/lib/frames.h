#pragma once
// The printer's side of the wire format: it reads request frames and writes
// reply frames. This frame code and the command set in printer_commands.*
// are kept apart from src/link on purpose, however alike they look:
// the simulator is the independent far end of the line, and a fault it
// shared with the host's own framing or commands would pass every test.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fjl::sim {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kSoh = 0x01;
inline constexpr std::uint8_t kEtx = 0x03;
inline constexpr std::uint8_t kEot = 0x04;
inline constexpr std::uint8_t kEnq = 0x05;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kSyn = 0x16;

// LEN is one byte offset by 0x20, so a request carries at most 219 data bytes
// (0x20 + 4 + 219 = 0xFF) and a reply at most 207 (0x30 + 207 = 0xFF).
inline constexpr std::size_t kMaxRequestData = 219;
inline constexpr std::size_t kMaxReplyData = 207;

// Unsigned sum of the bytes from LEN through the postamble, as both ends
// compute it.
std::uint32_t FrameSum(std::span<const std::uint8_t> bytes);

// The four checksum characters: 0x30 + nibble of the low 16 bits, most
// significant first (nibbles 10..15 give ':' .. '?').
std::array<std::uint8_t, 4> ChecksumChars(std::uint32_t sum);

// A request frame as the host sends it; `seq` is the SEQ byte itself
// (0x20..0x7E). Throws std::length_error above kMaxRequestData.
Bytes BuildRequestFrame(std::uint8_t seq, std::uint8_t command, std::string_view data);

struct Reply {
  std::uint8_t seq = 0x20;  // the request's SEQ byte, echoed
  std::uint8_t command = 0;
  std::string error_code = "0000";
  std::string data;  // fields, each followed by ';'
  std::array<std::uint8_t, 6> status{0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
};

// SOH LEN SEQ CMD error-code ';' DATA EOT S0..S5 ENQ BCC(4) ETX. LEN counts
// the bytes actually framed, so an error code of other than four characters
// still gives a self-consistent frame. Throws std::length_error when LEN
// would not fit its byte.
Bytes BuildReplyFrame(const Reply& reply);

// The reply data text of a list of fields: each followed by ';'.
std::string JoinFields(std::span<const std::string> fields);

struct Request {
  std::uint8_t seq = 0;
  std::uint8_t command = 0;
  std::string data;
};

enum class FrameFault {
  None,
  BadLength,    // LEN below 0x24
  NoPostamble,  // the byte after the data is not ENQ
  BadChecksum,  // BCC characters out of range or not the sum
  NoEtx,        // the byte after BCC is not ETX
};

struct ParseEvent {
  FrameFault fault = FrameFault::None;
  Request request;               // valid when fault is None
  std::size_t frame_length = 0;  // bytes of the frame seen, SOH included
};

// Consumes the host's bytes one at a time. Bytes outside a frame are
// ignored; SOH restarts a frame wherever it appears (the host never puts a
// control character in its data, and a restart recovers from a cut frame).
class RequestParser {
 public:
  // An event when a frame ended, well-formed or not.
  std::optional<ParseEvent> Feed(std::uint8_t byte);
  bool InFrame() const { return state_ != State::Idle; }
  void Reset() { state_ = State::Idle; }

 private:
  enum class State { Idle, Len, Seq, Cmd, Data, Post, Bcc, Etx };
  std::optional<ParseEvent> Fail(FrameFault fault);
  std::optional<ParseEvent> TakeSummed(std::uint8_t byte);
  std::optional<ParseEvent> TakeTrailer(std::uint8_t byte);

  State state_ = State::Idle;
  std::size_t data_length_ = 0;
  std::size_t frame_length_ = 0;
  std::uint32_t sum_ = 0;
  std::uint32_t bcc_ = 0;
  int bcc_digits_ = 0;
  Request request_;
};

}  // namespace fjl::sim

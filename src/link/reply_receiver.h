#pragma once
// The reply receiver: an eleven-state machine fed one byte at a time. It
// collects the reply's sequence number, command, error code, data text and
// status bytes, keeps the running checksum, and raises its end flag on ETX or
// NAK. It does no I/O, so the exchange, the tests and the fuzzer all feed it
// bytes directly.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace fjl::link {

class ReplyReceiver {
 public:
  // Longer error codes keep their first 19 characters, longer replies their
  // first 299 raw bytes: the excess is dropped, the frame itself goes on
  // through the machine (its checksum decides whether it is any good).
  static constexpr std::size_t kErrorCodeCapacity = 19;
  static constexpr std::size_t kRawReplyCapacity = 299;
  // LEN - 0x30 is at most 0xFF - 0x30 = 207 data bytes.
  static constexpr std::size_t kDataCapacity = 299;
  static constexpr int kStateCount = 11;

  ReplyReceiver();

  // Readies the machine for a new reply: SYN count, end flag, NAK mark,
  // error code, data text, status bytes and raw reply are cleared. The state
  // is kept; an unfinished frame of the last exchange is dropped at the next SOH.
  void BeginReply();

  // One byte from the line.
  void ReceiveByte(std::uint8_t byte);

  // A failed read (the port reported an error): the frame in progress is abandoned.
  void ReadFailed();

  // Forgets a reply that ended but belongs to another request (a late or
  // repeated frame): everything BeginReply clears except the SYN count, so
  // the wait can go on for the right one.
  void DropFrame();

  int State() const { return state_; }
  bool Ended() const { return ended_; }
  bool NakMark() const { return nak_mark_; }
  // True when the last frame ran through its four checksum characters and was
  // closed by ETX right after them.
  bool FrameComplete() const { return frame_complete_; }
  std::uint32_t Sum() const { return sum_; }
  std::uint32_t BccValue() const { return bcc_value_; }
  std::uint32_t SynCount() const { return syn_count_; }
  std::uint8_t ReplySeq() const { return reply_seq_; }
  std::uint8_t ReplyCommand() const { return reply_command_; }
  std::uint8_t DataLength() const { return data_length_; }
  std::string_view ErrorCodeText() const { return View(error_code_, error_code_size_); }
  std::string_view DataText() const { return View(data_, data_size_); }
  std::span<const std::uint8_t, 6> StatusRaw() const { return status_raw_; }
  std::string_view RawReply() const { return View(raw_reply_, raw_reply_size_); }

 private:
  using Handler = void (ReplyReceiver::*)(std::uint8_t);
  static const std::array<Handler, kStateCount> kHandlers;

  void Dispatch(std::uint8_t byte);
  void Add(std::uint8_t byte) { sum_ += byte; }

  void WaitForStart(std::uint8_t b);  // 0
  void Length(std::uint8_t b);        // 1
  void Sequence(std::uint8_t b);      // 2
  void Command(std::uint8_t b);       // 3
  void ErrorCode(std::uint8_t b);     // 4
  void Data(std::uint8_t b);          // 5
  void Separator(std::uint8_t b);     // 6
  void Status(std::uint8_t b);        // 7
  void Postamble(std::uint8_t b);     // 8
  void Checksum(std::uint8_t b);      // 9
  void End(std::uint8_t b);           // 10

  template <std::size_t N>
  static std::string_view View(const std::array<char, N>& buffer, std::size_t size) {
    return std::string_view(buffer.data(), size);
  }

  int state_ = 0;
  bool ended_ = false;
  bool nak_mark_ = false;
  bool frame_complete_ = false;
  std::uint32_t sum_ = 0;
  std::uint32_t bcc_value_ = 0;
  std::uint32_t syn_count_ = 0;
  std::uint8_t data_length_ = 0;
  std::uint8_t index_ = 0;
  std::uint8_t reply_seq_ = 0;
  std::uint8_t reply_command_ = 0;
  std::array<char, kErrorCodeCapacity> error_code_{};
  std::size_t error_code_size_ = 0;
  std::array<char, kDataCapacity> data_{};
  std::size_t data_size_ = 0;
  std::array<std::uint8_t, 6> status_raw_{};
  std::array<char, kRawReplyCapacity> raw_reply_{};
  std::size_t raw_reply_size_ = 0;
};

}  // namespace fjl::link

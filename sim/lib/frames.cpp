#include "sim/lib/frames.h"

#include <stdexcept>

namespace fjl::sim {

std::uint32_t FrameSum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  return sum;
}

std::array<std::uint8_t, 4> ChecksumChars(std::uint32_t sum) {
  std::array<std::uint8_t, 4> chars{};
  for (int i = 3; i >= 0; --i) {
    chars[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x30 + (sum & 0x0F));
    sum >>= 4;
  }
  return chars;
}

namespace {

// Appends the checksum of frame[1..end) and the ETX.
void Seal(Bytes& frame) {
  const std::uint32_t sum = FrameSum(std::span(frame).subspan(1));
  for (std::uint8_t c : ChecksumChars(sum)) frame.push_back(c);
  frame.push_back(kEtx);
}

}  // namespace

Bytes BuildRequestFrame(std::uint8_t seq, std::uint8_t command, std::string_view data) {
  if (data.size() > kMaxRequestData) throw std::length_error("request data longer than 219 bytes");
  Bytes frame;
  frame.reserve(data.size() + 10);
  frame.push_back(kSoh);
  frame.push_back(static_cast<std::uint8_t>(0x20 + data.size() + 4));
  frame.push_back(seq);
  frame.push_back(command);
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(kEnq);
  Seal(frame);
  return frame;
}

Bytes BuildReplyFrame(const Reply& reply) {
  // LEN, SEQ, CMD, the code, ';', the data, EOT, six status bytes, ENQ.
  const std::size_t counted = 3 + reply.error_code.size() + 1 + reply.data.size() + 1 + 6 + 1;
  if (0x20 + counted > 0xFF) throw std::length_error("reply does not fit one LEN byte");
  Bytes frame;
  frame.reserve(counted + 6);
  frame.push_back(kSoh);
  frame.push_back(static_cast<std::uint8_t>(0x20 + counted));
  frame.push_back(reply.seq);
  frame.push_back(reply.command);
  frame.insert(frame.end(), reply.error_code.begin(), reply.error_code.end());
  frame.push_back(';');
  frame.insert(frame.end(), reply.data.begin(), reply.data.end());
  frame.push_back(kEot);
  frame.insert(frame.end(), reply.status.begin(), reply.status.end());
  frame.push_back(kEnq);
  Seal(frame);
  return frame;
}

std::string JoinFields(std::span<const std::string> fields) {
  std::string text;
  for (const std::string& field : fields) {
    text += field;
    text += ';';
  }
  return text;
}

std::optional<ParseEvent> RequestParser::Fail(FrameFault fault) {
  state_ = State::Idle;
  ParseEvent event;
  event.fault = fault;
  event.frame_length = frame_length_;
  return event;
}

std::optional<ParseEvent> RequestParser::Feed(std::uint8_t byte) {
  if (byte == kSoh) {
    state_ = State::Len;
    frame_length_ = 1;
    sum_ = 0;
    request_ = Request{};
    return std::nullopt;
  }
  if (state_ == State::Idle) return std::nullopt;
  ++frame_length_;
  switch (state_) {
    case State::Len:
    case State::Seq:
    case State::Cmd:
    case State::Data:
      return TakeSummed(byte);
    default:
      return TakeTrailer(byte);
  }
}

// LEN, SEQ, CMD and the data: the bytes the checksum covers.
std::optional<ParseEvent> RequestParser::TakeSummed(std::uint8_t byte) {
  sum_ += byte;
  switch (state_) {
    case State::Len:
      if (byte < 0x24) return Fail(FrameFault::BadLength);
      data_length_ = static_cast<std::size_t>(byte - 0x24);
      state_ = State::Seq;
      break;
    case State::Seq:
      request_.seq = byte;
      state_ = State::Cmd;
      break;
    case State::Cmd:
      request_.command = byte;
      state_ = data_length_ == 0 ? State::Post : State::Data;
      break;
    default:
      request_.data.push_back(static_cast<char>(byte));
      if (request_.data.size() == data_length_) state_ = State::Post;
      break;
  }
  return std::nullopt;
}

// The postamble, the four checksum characters and ETX.
std::optional<ParseEvent> RequestParser::TakeTrailer(std::uint8_t byte) {
  switch (state_) {
    case State::Post:
      if (byte != kEnq) return Fail(FrameFault::NoPostamble);
      sum_ += byte;
      bcc_ = 0;
      bcc_digits_ = 0;
      state_ = State::Bcc;
      return std::nullopt;
    case State::Bcc:
      // A checksum character is 0x30..0x3F; anything else (an early ETX
      // above all) means the frame was cut, and waiting on would hang.
      if (byte < 0x30 || byte > 0x3F) return Fail(FrameFault::BadChecksum);
      bcc_ = (bcc_ << 4) | static_cast<std::uint32_t>(byte - 0x30);
      if (++bcc_digits_ == 4) state_ = State::Etx;
      return std::nullopt;
    default: {
      if (byte != kEtx) return Fail(FrameFault::NoEtx);
      if (bcc_ != (sum_ & 0xFFFF)) return Fail(FrameFault::BadChecksum);
      state_ = State::Idle;
      ParseEvent event;
      event.request = std::move(request_);
      event.frame_length = frame_length_;
      return event;
    }
  }
}

}  // namespace fjl::sim

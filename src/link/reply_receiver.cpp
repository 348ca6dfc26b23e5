#include "link/reply_receiver.h"

#include "link/request_frame.h"

namespace fjl::link {

const std::array<ReplyReceiver::Handler, ReplyReceiver::kStateCount> ReplyReceiver::kHandlers = {
    &ReplyReceiver::WaitForStart, &ReplyReceiver::Length,    &ReplyReceiver::Sequence,
    &ReplyReceiver::Command,      &ReplyReceiver::ErrorCode, &ReplyReceiver::Data,
    &ReplyReceiver::Separator,    &ReplyReceiver::Status,    &ReplyReceiver::Postamble,
    &ReplyReceiver::Checksum,     &ReplyReceiver::End,
};

ReplyReceiver::ReplyReceiver() = default;

void ReplyReceiver::BeginReply() {
  syn_count_ = 0;
  ended_ = false;
  nak_mark_ = false;
  frame_complete_ = false;
  // The error code is cleared too: a reply that never comes must not show
  // the last reply's "0000".
  error_code_size_ = 0;
  data_size_ = 0;
  status_raw_.fill(0);
  raw_reply_size_ = 0;
}

void ReplyReceiver::DropFrame() {
  const std::uint32_t syn_count = syn_count_;
  BeginReply();
  syn_count_ = syn_count;
  state_ = 0;
}

void ReplyReceiver::ReadFailed() { state_ = 0; }

void ReplyReceiver::ReceiveByte(std::uint8_t byte) {
  if (byte == kSyn) {
    ++syn_count_;
  } else if (raw_reply_size_ < raw_reply_.size()) {
    raw_reply_[raw_reply_size_++] = static_cast<char>(byte);
  }
  Dispatch(byte);
}

void ReplyReceiver::Dispatch(std::uint8_t byte) {
  if (byte >= 0x20) {
    (this->*kHandlers[static_cast<std::size_t>(state_)])(byte);
    return;
  }
  switch (byte) {
    case kSoh:
      state_ = 0;
      WaitForStart(byte);
      break;
    case kEtx:
      if (state_ != 10) {
        nak_mark_ = false;
        frame_complete_ = false;
      }
      state_ = 10;
      End(byte);
      break;
    case kNak:
      state_ = 0;
      nak_mark_ = true;
      ended_ = true;
      break;
    default:
      (this->*kHandlers[static_cast<std::size_t>(state_)])(byte);
      break;
  }
}

void ReplyReceiver::WaitForStart(std::uint8_t b) {
  if (b == kSoh) state_ = 1;
  sum_ = 0;
  frame_complete_ = false;
}

void ReplyReceiver::Length(std::uint8_t b) {
  if (b < 0x30) {
    state_ = 0;
    return;
  }
  data_length_ = static_cast<std::uint8_t>(b - 0x30);
  Add(b);
  state_ = 2;
}

void ReplyReceiver::Sequence(std::uint8_t b) {
  if (b < 0x20) {
    state_ = 0;
    return;
  }
  reply_seq_ = static_cast<std::uint8_t>(b - 0x20);
  Add(b);
  state_ = 3;
}

void ReplyReceiver::Command(std::uint8_t b) {
  reply_command_ = b;
  index_ = 0;
  Add(b);
  data_size_ = 0;
  error_code_size_ = 0;
  state_ = 4;
}

void ReplyReceiver::ErrorCode(std::uint8_t b) {
  Add(b);
  if (b == ';') {
    state_ = data_length_ != 0 ? 5 : 6;
    return;
  }
  if (error_code_size_ < error_code_.size()) error_code_[error_code_size_++] = static_cast<char>(b);
}

void ReplyReceiver::Data(std::uint8_t b) {
  if (index_ < data_length_) {
    // The exchange may have emptied the text while a stale frame was half
    // way through; the bytes collected since then are what the text holds.
    if (data_size_ < data_.size()) data_[data_size_++] = static_cast<char>(b);
    ++index_;
    Add(b);
  }
  if (index_ == data_length_) state_ = 6;
}

void ReplyReceiver::Separator(std::uint8_t b) {
  if (b == kEot) {
    index_ = 0;
    Add(b);
    state_ = 7;
  } else {
    state_ = 0;
  }
}

void ReplyReceiver::Status(std::uint8_t b) {
  if (index_ < status_raw_.size()) {
    status_raw_[index_++] = b;
    Add(b);
  }
  if (index_ == status_raw_.size()) state_ = 8;
}

void ReplyReceiver::Postamble(std::uint8_t b) {
  if (b == kEnq) {
    index_ = 0;
    bcc_value_ = 0;
    Add(b);
    state_ = 9;
  } else {
    state_ = 0;
  }
}

void ReplyReceiver::Checksum(std::uint8_t b) {
  if (index_ < 4) {
    bcc_value_ = bcc_value_ * 16u + b - 0x30u;
    ++index_;
  }
  if (index_ == 4) {
    state_ = 10;
    frame_complete_ = true;
  }
}

void ReplyReceiver::End(std::uint8_t b) {
  state_ = 0;
  if (b == kEtx) {
    ended_ = true;
  } else {
    // Anything but ETX right after the checksum spoils the frame.
    frame_complete_ = false;
  }
}

}  // namespace fjl::link

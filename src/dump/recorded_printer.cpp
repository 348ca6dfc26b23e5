#include "dump/recorded_printer.h"

#include "link/reply_decoder.h"
#include "link/reply_receiver.h"

namespace fjl::dump {

const link::DeviceResponse& AnswerRecorder::Exchange(std::int32_t command, std::string_view data) {
  const link::DeviceResponse& reply = printer_.Exchange(command, data);
  sink_({command, reply.Status, std::string(data), reply.RawReply});
  return reply;
}

void DecodeRecordedAnswer(const RecordedAnswer& answer, link::DeviceResponse& response) {
  link::ReplyReceiver receiver;
  receiver.BeginReply();
  for (char c : answer.raw_reply) receiver.ReceiveByte(static_cast<std::uint8_t>(c));
  // The live link drops a whole frame of another command and waits on; a
  // wait that found no answer stays one, even where the bytes kept (SYN is
  // not among them) would make a good frame. The frame's own checks (its
  // checksum, NAK, a cut frame) are made on the bytes as on the line.
  const bool other_command = receiver.FrameComplete() && receiver.ReplyCommand() != answer.command;
  if (other_command || (answer.status & link::StatusNoReply) != 0) {
    link::ReplyReceiver silence;
    silence.BeginReply();
    link::DecodeReply({silence, answer.command, answer.data, true}, response);
    response.RawReply = answer.raw_reply;
  } else {
    link::DecodeReply({receiver, answer.command, answer.data, true}, response);
    // A frame the live link refused (a SYN inside it broke its checksum) is
    // refused again, with the same verdict and no printer status.
    const std::uint32_t refused = answer.status & (link::StatusNak | link::StatusBadChecksum);
    const std::uint32_t decoded_failure = response.Status & (link::StatusNak | link::StatusBadChecksum);
    if (refused != 0 && decoded_failure == 0) response.Status = refused;
  }
  // What the link knew beyond the bytes: the port was gone, or nothing was sent.
  response.Status |= answer.status & (link::StatusLineGone | link::StatusNotSent);
}

RecordedPrinter::RecordedPrinter(std::vector<RecordedAnswer> answers)
    : answers_(std::move(answers)), given_(answers_.size(), false) {}

const link::DeviceResponse& RecordedPrinter::Exchange(std::int32_t command, std::string_view data) {
  std::size_t pick = answers_.size();
  for (std::size_t i = 0; i < answers_.size(); ++i) {
    if (answers_[i].command != command || answers_[i].data != data) continue;
    pick = i;
    if (!given_[i]) break;
  }
  if (pick == answers_.size()) {
    ++misses_;
    DecodeRecordedAnswer({command, link::StatusNoReply, std::string(data), ""}, response_);
    return response_;
  }
  given_[pick] = true;
  DecodeRecordedAnswer(answers_[pick], response_);
  return response_;
}

}  // namespace fjl::dump

#pragma once
// The two ends of an offline restoration: a recorder that passes every
// exchange of a live run on to the printer and keeps its answer, and a
// printer that answers a later run from those answers.

#include <functional>
#include <string_view>
#include <vector>

#include "dump/answer_log.h"
#include "link/device_response.h"
#include "link/exchanger.h"

namespace fjl::dump {

class AnswerRecorder final : public link::Exchanger {
 public:
  using Sink = std::function<void(const RecordedAnswer&)>;
  AnswerRecorder(link::Exchanger& printer, Sink sink) : printer_(printer), sink_(std::move(sink)) {}
  const link::DeviceResponse& Exchange(std::int32_t command, std::string_view data) override;

 private:
  link::Exchanger& printer_;
  Sink sink_;
};

// Each request is answered by the first answer recorded for the same
// command and data that has not been given yet (the last one again once all
// have), decoded from its raw bytes as the link decodes a reply. A request
// nothing was recorded for meets silence: StatusNoReply, as from a printer
// that does not answer.
class RecordedPrinter final : public link::Exchanger {
 public:
  explicit RecordedPrinter(std::vector<RecordedAnswer> answers);
  const link::DeviceResponse& Exchange(std::int32_t command, std::string_view data) override;
  // Requests that found no recorded answer.
  int Misses() const { return misses_; }

 private:
  std::vector<RecordedAnswer> answers_;
  std::vector<bool> given_;
  link::DeviceResponse response_;
  int misses_ = 0;
};

// The reply record the link made of `answer`: the recorded bytes through
// the same frame, command and checksum checks as a live reply, and a failure
// the link recorded (no reply, NAK, a bad checksum) given again as that failure.
void DecodeRecordedAnswer(const RecordedAnswer& answer, link::DeviceResponse& response);

}  // namespace fjl::dump

#include "restore/restore_run.h"

#include "text/cp1251.h"

namespace fjl::restore {

RestoreRun::RestoreRun(const RestoreInputs& inputs, RestorationState& state, LineSink& text, MessageSink& messages)
    : inputs_(inputs), state_(state), text_(text), messages_(messages), recorder_(inputs, state) {}

void RestoreRun::AddRecordLine(const TapeRecord& record) {
  state_.RecordLineTable.push_back({record.position, text_.LineCount()});
}

void RestoreRun::Show(std::string_view message) {
  text_.Flush();
  messages_.ShowMessage(message);
}

Verdict RestoreRun::Stop(std::string_view message) {
  Show(message);
  return Verdict::StopRun;
}

const link::DeviceResponse& RestoreRun::ReplyRecorder::Exchange(std::int32_t command, std::string_view data) {
  const link::DeviceResponse& reply = inputs_.printer.Exchange(command, data);
  if (reply.LineGone()) state_.LineLost = true;
  if (inputs_.on_reply) inputs_.on_reply(reply);
  return reply;
}

bool HasField(const link::DeviceResponse& reply, int i) {
  return i >= 0 && i < reply.FieldCount && i < link::kMaxFields;
}

std::string ReplyField(const link::DeviceResponse& reply, int i) { return text::Cp1251ToUtf8(reply.Field(i)); }

}  // namespace fjl::restore

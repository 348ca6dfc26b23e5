#include "sim/lib/simulator.h"

#include <algorithm>
#include <stdexcept>

namespace fjl::sim {
namespace {

constexpr std::size_t kRequestsKept = 4096;

const FaultRule* Find(const std::vector<const FaultRule*>& firing, FaultKind kind) {
  for (const FaultRule* rule : firing) {
    if (rule->kind == kind) return rule;
  }
  return nullptr;
}

// Noise that cannot start, end or reject a frame on the host side, nor pass
// for a keep-alive.
Bytes Noise(std::size_t count) {
  Bytes noise;
  std::uint8_t b = 0x5A;
  while (noise.size() < count) {
    b = static_cast<std::uint8_t>(b * 37 + 11);
    if (b == kSoh || b == kEtx || b == kNak || b == kSyn) continue;
    noise.push_back(b);
  }
  return noise;
}

// Frames that keep beginning and never end: an SOH every `soh_every` bytes,
// and between them printable bytes other than ';', which a host's receiver
// takes for an error code that goes on and on.
Bytes FrameLikeNoise(std::size_t count, std::size_t soh_every) {
  Bytes noise = Noise(count);
  for (std::size_t i = 0; i < noise.size(); ++i) {
    if (i % soh_every == 0) {
      noise[i] = kSoh;
    } else {
      noise[i] = static_cast<std::uint8_t>(0x40 + noise[i] % 0x3F);
    }
  }
  return noise;
}

void ApplyContentFaults(const std::vector<const FaultRule*>& firing, CommandAnswer& answer) {
  if (const FaultRule* f = Find(firing, FaultKind::ErrorCode)) {
    answer.error_code = f->code;
    answer.fields.clear();
  }
  if (Find(firing, FaultKind::ThirtyFields)) {
    answer.fields.clear();
    for (int i = 1; i <= 30; ++i) answer.fields.push_back(std::to_string(i));
  }
  if (Find(firing, FaultKind::OneField) && answer.fields.size() > 1) answer.fields.resize(1);
  if (Find(firing, FaultKind::LowerCaseHex) && answer.fields.size() > 1) {
    for (char& c : answer.fields[1]) {
      if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  if (const FaultRule* f = Find(firing, FaultKind::CountNotNumber)) {
    if (answer.fields.empty()) answer.fields.emplace_back();
    answer.fields[0] = f->text;
  }
  if (const FaultRule* f = Find(firing, FaultKind::CountOverHex); f && answer.fields.size() > 1) {
    std::string& hex = answer.fields[1];
    const std::size_t bytes = hex.size() / 2;
    const std::size_t drop = f->count >= 0 ? std::min(bytes, static_cast<std::size_t>(f->count))
                                           : bytes - bytes / 2;
    hex.resize((bytes - drop) * 2);
  }
}

// The last checksum character off by one.
void BreakChecksum(Bytes& frame) {
  std::uint8_t& last = frame[frame.size() - 2];
  last = static_cast<std::uint8_t>(0x30 + ((last - 0x30 + 1) & 0x0F));
}

void ApplyFrameFaults(const std::vector<const FaultRule*>& firing, const Reply& reply, Bytes& frame) {
  if (Find(firing, FaultKind::BadChecksum)) BreakChecksum(frame);
  if (Find(firing, FaultKind::MalformedFrame)) {
    frame[4 + reply.error_code.size() + 1 + reply.data.size()] = '*';
  }
  if (const FaultRule* f = Find(firing, FaultKind::SynInside)) {
    const std::size_t at = f->at >= 0 ? std::min(frame.size(), static_cast<std::size_t>(f->at))
                                      : frame.size() / 2;
    const std::size_t count = f->count >= 0 ? static_cast<std::size_t>(f->count) : 3;
    frame.insert(frame.begin() + static_cast<std::ptrdiff_t>(at), count, kSyn);
  }
  if (const FaultRule* f = Find(firing, FaultKind::CutFrame)) {
    const std::size_t at = f->at >= 0 ? std::min(frame.size(), static_cast<std::size_t>(f->at))
                                      : frame.size() / 2;
    frame.resize(at);
    if (f->etx) frame.push_back(kEtx);
  }
}

}  // namespace

Simulator::Simulator(PrinterModel model, SimulatorOptions options)
    : model_(std::move(model)), options_(std::move(options)) {
  options_.chunk_size = std::clamp<std::size_t>(options_.chunk_size, 1, kMaxFlashChunk);
}

std::vector<Answer> Simulator::Receive(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  std::vector<Answer> answers;
  for (std::uint8_t b : bytes) {
    std::optional<ParseEvent> event = parser_.Feed(b);
    if (!event) continue;
    if (event->fault == FrameFault::None) {
      answers.push_back(AnswerLocked(event->request, event->frame_length));
    } else {
      ++bad_frames_;
      if (options_.nak_bad_frames) {
        Answer nak;
        nak.request_length = event->frame_length;
        nak.emissions.push_back(Emission{{}, Bytes{kNak}, false});
        answers.push_back(std::move(nak));
      }
    }
  }
  return answers;
}

Answer Simulator::AnswerRequest(const Request& request, std::size_t frame_length) {
  std::lock_guard lock(mutex_);
  return AnswerLocked(request, frame_length);
}

namespace {

// Puts bytes on the line after the pause built up since the last ones.
struct LineWriter {
  Answer& answer;
  std::chrono::microseconds pause{0};

  void Wait(std::chrono::microseconds time) { pause += time; }
  void Emit(Bytes bytes) {
    answer.emissions.push_back(Emission{pause, std::move(bytes), false});
    pause = {};
  }
  void HangUp() { answer.emissions.push_back(Emission{pause, {}, true}); }
};

// What comes before the reply: SYN keep-alives, noise.
void EmitLeadIn(const std::vector<const FaultRule*>& firing, bool silent, LineWriter& line) {
  if (const FaultRule* f = Find(firing, FaultKind::SynBefore); f && !silent) {
    const int count = f->count >= 0 ? f->count : 3;
    if (f->gap.count() == 0) {
      line.Emit(Bytes(static_cast<std::size_t>(count), kSyn));
    } else {
      for (int i = 0; i < count; ++i) {
        line.Wait(f->gap);
        line.Emit(Bytes{kSyn});
      }
      line.Wait(f->gap);
    }
  }
  const FaultRule* garbage = Find(firing, FaultKind::Garbage);
  if (garbage && !garbage->after && !silent) line.Emit(Noise(garbage->count >= 0 ? static_cast<std::size_t>(garbage->count) : 8));
  if (const FaultRule* f = Find(firing, FaultKind::NoiseStream)) {
    const std::chrono::milliseconds gap = f->gap.count() > 0 ? f->gap : std::chrono::milliseconds(10);
    const std::size_t count = f->count >= 0 ? static_cast<std::size_t>(f->count) : 100;
    for (std::uint8_t b : f->soh > 0 ? FrameLikeNoise(count, static_cast<std::size_t>(f->soh)) : Noise(count)) {
      line.Wait(gap);
      line.Emit(Bytes{b});
    }
  }
}

// Frames of other requests: a reply the host already gave up on, or one
// that names another SEQ or command. A careful host drops them.
void EmitForeignFrames(const std::vector<const FaultRule*>& firing, const Reply& reply, const Bytes& last_frame,
                       LineWriter& line) {
  if (Find(firing, FaultKind::Stale) && !last_frame.empty()) line.Emit(last_frame);
  if (Find(firing, FaultKind::WrongSeq)) {
    Reply other = reply;
    other.seq = static_cast<std::uint8_t>(reply.seq >= 0x7E ? 0x20 : reply.seq + 1);
    line.Emit(BuildReplyFrame(other));
  }
  if (Find(firing, FaultKind::WrongCommand)) {
    Reply other = reply;
    other.command = static_cast<std::uint8_t>(reply.command == 0x42 ? 0x43 : 0x42);
    line.Emit(BuildReplyFrame(other));
  }
}

}  // namespace

Reply Simulator::MakeReply(const Request& request, const std::vector<const FaultRule*>& firing,
                           const ScriptedAnswer* scripted) const {
  CommandAnswer content = AnswerCommand(model_, options_.chunk_size, request.command, request.data);
  ApplyContentFaults(firing, content);
  Reply reply;
  reply.seq = request.seq;
  reply.command = request.command;
  reply.error_code = content.error_code.substr(0, 200);
  reply.status = model_.status;
  if (!Find(firing, FaultKind::EmptyData)) reply.data = JoinFields(content.fields);
  if (scripted) {
    reply.error_code = scripted->error_code.substr(0, 200);
    reply.data = scripted->reply_data;
    reply.status = scripted->status;
  }
  const std::size_t room = 0xFF - 0x20 - (3 + reply.error_code.size() + 1 + 1 + 6 + 1);
  if (reply.data.size() > room) reply.data.resize(room);
  return reply;
}

Answer Simulator::AnswerLocked(const Request& request, std::size_t frame_length) {
  requests_.push_back(request);
  if (requests_.size() > kRequestsKept) requests_.pop_front();
  std::vector<const FaultRule*> firing;
  for (FaultRule& rule : options_.faults) {
    if (rule.Fires(request.command)) firing.push_back(&rule);
  }

  Answer answer;
  answer.request_length = frame_length;
  answer.command = request.command;
  LineWriter line{answer};
  if (const FaultRule* f = Find(firing, FaultKind::Delay)) line.Wait(f->gap);
  const FaultRule* hangup = Find(firing, FaultKind::HangUp);
  if (hangup && !hangup->after) {
    line.HangUp();
    return answer;
  }

  const ScriptedAnswer* scripted = TakeScripted(request);
  const bool unknown_to_replay = options_.scripted_only && !scripted && request.command != kFlashReadCommand &&
                                 !(request.command == kSerialCommand && !model_.identity.serial_number.empty());
  const bool silent = unknown_to_replay || Find(firing, FaultKind::Silence) != nullptr ||
                      (scripted && scripted->kind == ScriptedAnswer::Kind::Silence);
  EmitLeadIn(firing, silent, line);
  if (!silent && (Find(firing, FaultKind::Nak) || (scripted && scripted->kind == ScriptedAnswer::Kind::Nak))) {
    line.Emit(Bytes{kNak});
  } else {
    const Reply reply = MakeReply(request, firing, scripted);
    EmitForeignFrames(firing, reply, last_reply_frame_, line);
    Bytes frame = BuildReplyFrame(reply);
    ApplyFrameFaults(firing, reply, frame);
    if (scripted && scripted->kind == ScriptedAnswer::Kind::BadChecksum) BreakChecksum(frame);
    if (!silent) {
      last_reply_frame_ = frame;
      line.Emit(std::move(frame));
    }
  }
  const FaultRule* garbage = Find(firing, FaultKind::Garbage);
  if (garbage && garbage->after && !silent) line.Emit(Noise(garbage->count >= 0 ? static_cast<std::size_t>(garbage->count) : 8));
  if (hangup) line.HangUp();
  return answer;
}

const ScriptedAnswer* Simulator::TakeScripted(const Request& request) {
  const std::vector<ScriptedAnswer>& answers = options_.scripted;
  scripted_given_.resize(answers.size(), false);
  const ScriptedAnswer* pick = nullptr;
  std::size_t at = 0;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    if (answers[i].command != request.command || answers[i].data != request.data) continue;
    pick = &answers[i];
    at = i;
    if (!scripted_given_[i]) break;
  }
  if (pick) scripted_given_[at] = true;
  return pick;
}

void Simulator::AddFault(FaultRule rule) {
  std::lock_guard lock(mutex_);
  options_.faults.push_back(std::move(rule));
}

void Simulator::ClearFaults() {
  std::lock_guard lock(mutex_);
  options_.faults.clear();
}

void Simulator::SetChunkSize(std::size_t chunk) {
  std::lock_guard lock(mutex_);
  options_.chunk_size = std::clamp<std::size_t>(chunk, 1, kMaxFlashChunk);
}

std::size_t Simulator::ChunkSize() const {
  std::lock_guard lock(mutex_);
  return options_.chunk_size;
}

std::vector<Request> Simulator::Requests() const {
  std::lock_guard lock(mutex_);
  return {requests_.begin(), requests_.end()};
}

std::size_t Simulator::BadFrames() const {
  std::lock_guard lock(mutex_);
  return bad_frames_;
}

PrinterModel Simulator::Model() const {
  std::lock_guard lock(mutex_);
  return model_;
}

}  // namespace fjl::sim

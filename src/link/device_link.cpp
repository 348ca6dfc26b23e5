#include "link/device_link.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "link/command_catalogue.h"
#include "link/reply_decoder.h"
#include "link/reply_receiver.h"
#include "link/request_frame.h"
#include "text/hex_text.h"

namespace fjl::link {

struct DeviceLink::State {
  serial::ChannelOpener opener;
  std::unique_ptr<serial::SerialChannel> channel;
  // Never reset, also not by closing and reopening the port.
  std::uint8_t sequence_counter = 0;
  // False until the first OpenLink and while an exchange runs.
  bool link_ready = false;
  // The printer speaks Windows-1251 like the host; the code-page tables stay unused.
  const bool pass_through = true;
  ReplyReceiver receiver;
  DeviceResponse response;
  SessionLog log;
  MonotonicClock clock = [] { return std::chrono::steady_clock::now(); };
  std::function<void()> while_awaiting_reply;
  // The port as OpenLink was given it, for opening it again after a hang-up.
  std::string port_name;
  std::int32_t port_speed = 0;
  // The far end went away during an exchange (a pulled USB adapter, a closed
  // pseudo-terminal). The descriptor is dead for good; the next exchange
  // opens the port afresh, so a re-plugged adapter works again without
  // restarting the program.
  bool line_gone = false;
  // A reply came since OpenLink.
  bool heard = false;
  // A port OpenLink opened and CloseLink has not closed, even while a
  // hang-up has taken its channel.
  bool port_held = false;
  // Why the latest request frame could not be sent; success when it was.
  SystemResult send_failure;
  SystemResult open_failure;
  std::chrono::milliseconds reply_timeout = kReplyTimeout;

  serial::OpenedChannel Open() const;
  void Close();
  void ReopenAfterHangUp();
  void Refuse(std::int32_t command, std::string_view data);
  bool Send(const std::string& frame);
  void WaitForReply(std::uint8_t seq, std::uint8_t command);
  bool BelongsToRequest(std::uint8_t seq, std::uint8_t command) const;
  std::string ReplyLogHead() const;
};

namespace {

// Time the longest frame takes on the line at `speed` (10 bits a byte).
std::chrono::microseconds FrameWireTime(std::int32_t speed) {
  if (speed <= 0) return {};
  return std::chrono::microseconds(static_cast<std::int64_t>(kMaxReplyFrameBytes) * 10 * 1'000'000 / speed);
}

}  // namespace

DeviceLink::DeviceLink(serial::ChannelOpener opener) : state_(std::make_unique<State>()) {
  state_->opener = std::move(opener);
}

DeviceLink::~DeviceLink() = default;

std::int32_t DeviceLink::OpenLink(const std::string& port, std::int32_t speed) {
  State& s = *state_;
  // Opening over an open port would leak the first one: close it the way
  // the disconnect button does, then open the new one.
  if (s.channel) CloseLink();
  s.link_ready = true;
  s.port_name = port;
  s.port_speed = speed;
  s.line_gone = false;
  s.heard = false;
  serial::OpenedChannel opened = s.Open();
  s.open_failure = opened.Failure();
  s.channel = opened ? std::move(opened).Value() : nullptr;
  if (s.channel) s.channel->Purge(serial::PurgeDirection::Both);
  s.port_held = s.channel != nullptr;
  s.log.WriteSessionLog("", "START");
  return s.channel ? s.channel->Handle() : -1;
}

int DeviceLink::CloseLink() {
  State& s = *state_;
  if (s.channel) {
    s.channel->Drain();
    s.channel->Purge(serial::PurgeDirection::Both);
  }
  s.log.WriteSessionLog("END", "");
  // Disconnected on purpose: the link forgets the port whatever closing
  // answers, so no exchange opens it behind the user's back and the next
  // CloseLink has nothing left to fail on.
  s.line_gone = false;
  const bool held = std::exchange(s.port_held, false);
  // A port the line took away was closed when it went; a reopening that
  // failed since left nothing more to close.
  if (!s.channel) return held ? 1 : 0;
  const bool closed = s.channel->Close();
  s.channel.reset();
  return closed ? 1 : 0;
}

bool DeviceLink::IsOpen() const { return state_->channel != nullptr; }

const SystemResult& DeviceLink::SendFailure() const { return state_->send_failure; }

const SystemResult& DeviceLink::OpenFailure() const { return state_->open_failure; }

const DeviceResponse& DeviceLink::Response() const { return state_->response; }

void DeviceLink::SetSessionLogName(std::string name) { state_->log.SetFileName(std::move(name)); }
void DeviceLink::SetLogFailureHandler(LogFailureHandler handler) {
  state_->log.SetFailureHandler(std::move(handler));
}
void DeviceLink::SetLogClock(LocalTimeSource clock) { state_->log.SetClock(std::move(clock)); }
void DeviceLink::SetLogWriter(LogWriter writer) { state_->log.SetWriter(std::move(writer)); }
void DeviceLink::SetLogDirectory(DirectorySource directory) {
  state_->log.SetDirectorySource(std::move(directory));
}
void DeviceLink::SetMonotonicClock(MonotonicClock clock) { state_->clock = std::move(clock); }

void DeviceLink::SetWhileAwaitingReply(std::function<void()> hook) {
  state_->while_awaiting_reply = std::move(hook);
}
void DeviceLink::SetReplyTimeout(std::chrono::milliseconds timeout) { state_->reply_timeout = timeout; }

void DeviceLink::State::Refuse(std::int32_t command, std::string_view data) {
  // A frame whose LEN cannot hold the data would be garbage on the line:
  // nothing is sent, and every caller's no-reply check stops it.
  receiver.BeginReply();
  DecodeReply({receiver, command, data, pass_through}, response);
  response.Status = StatusNoReply | StatusNotSent;
  response.SentFrame.clear();
  response.StatusBytes.fill(0);
}

bool DeviceLink::HeardSinceOpen() const { return state_->heard; }

const DeviceResponse& DeviceLink::Exchange(std::int32_t command, std::string_view data) {
  State& s = *state_;
  if (!s.link_ready) return s.response;
  if (data.size() > kMaxFrameData || command < 0 || command > 0xFF) {
    s.Refuse(command, data);
    return s.response;
  }
  const std::string sent_data(data);
  s.response.Command = command;
  ++s.sequence_counter;
  const std::uint8_t seq = SequenceByte(s.sequence_counter);
  const std::string outgoing = TranslateOutgoing(sent_data, s.pass_through);

  s.log.WriteSessionLog(text::UpperHex(seq), text::UpperHex(static_cast<std::uint32_t>(command)) + sent_data);

  s.receiver.BeginReply();
  s.link_ready = false;
  const std::string frame = BuildRequestFrame(seq, static_cast<std::uint8_t>(command), outgoing);
  s.response.SentFrame = frame;

  if (s.line_gone) s.ReopenAfterHangUp();
  bool sent = s.Send(frame);
  // The port went away while the link was idle (an adapter pulled and
  // plugged back between two steps): the dead descriptor refused the
  // request, so the printer never had it whole, and it goes once over the
  // port opened again by its name.
  if (!sent && s.send_failure.Gone()) {
    s.ReopenAfterHangUp();
    sent = s.channel && s.Send(frame);
  }
  if (sent) {
    if (s.while_awaiting_reply) s.while_awaiting_reply();
    s.WaitForReply(seq, static_cast<std::uint8_t>(command));
  }

  DecodeReply({s.receiver, command, sent_data, s.pass_through}, s.response);
  if (s.line_gone && s.response.NoReply()) s.response.Status |= StatusLineGone;
  if (!s.response.NoReply()) s.heard = true;
  s.link_ready = true;

  s.log.WriteSessionLog(s.ReplyLogHead(), ";" + s.response.RawReply);
  return s.response;
}

std::string DeviceLink::State::ReplyLogHead() const {
  return text::UpperHex(SequenceByte(receiver.ReplySeq())) + " SYN=" + std::to_string(receiver.SynCount());
}

bool DeviceLink::State::BelongsToRequest(std::uint8_t seq, std::uint8_t command) const {
  // A NAK or a frame cut short carries no trustworthy SEQ: it ends the
  // exchange as the failure it is. A whole frame must be the answer to
  // this very request; the printer echoes both bytes.
  if (!receiver.FrameComplete()) return true;
  return receiver.ReplySeq() + 0x20 == seq && receiver.ReplyCommand() == command;
}

serial::OpenedChannel DeviceLink::State::Open() const {
  // An opener that gives neither a port nor a reason leaves "no such device".
  serial::OpenedChannel opened = opener ? opener(port_name, port_speed) : serial::OpenedChannel(nullptr);
  if (opened && !*opened) return SystemResult::FromErrno(ENODEV);
  return opened;
}

void DeviceLink::State::ReopenAfterHangUp() {
  if (channel) {
    channel->Close();
    channel.reset();
    log.WriteSessionLog("END", "");
  }
  serial::OpenedChannel opened = Open();
  channel = opened ? std::move(opened).Value() : nullptr;
  if (!channel) return;  // still gone: this exchange ends at once as no reply
  channel->Purge(serial::PurgeDirection::Both);
  line_gone = false;
  log.WriteSessionLog("", "START");
}

bool DeviceLink::State::Send(const std::string& frame) {
  send_failure = {};
  if (!channel) return false;  // no port: nothing can be sent or arrive
  SystemResult result = channel->Drain();
  if (result) result = channel->Purge(serial::PurgeDirection::Both);
  if (result) result = channel->Write(std::span(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size()));
  if (result) return true;
  // A request the port refused has no reply to wait for: the exchange ends
  // at once as no reply, and the system's reason stays for the caller.
  send_failure = result;
  receiver.ReadFailed();
  if (result.Gone()) line_gone = true;
  return false;
}

void DeviceLink::State::WaitForReply(std::uint8_t seq, std::uint8_t command) {
  if (!channel) return;  // no port: nothing can arrive
  using TimePoint = std::chrono::steady_clock::time_point;
  std::array<std::uint8_t, 512> buffer{};
  const TimePoint sent = clock();
  // Only SYN moves this on. Noise, stray bytes and frames meant for another
  // request never do, so a line that keeps talking still ends the wait.
  TimePoint deadline = sent + reply_timeout;
  const TimePoint syn_limit = sent + kSynOnlyWaitCap;
  // A frame that began before the deadline may finish after it, by the wire
  // time of the longest frame at most: a reply begun in time is through by
  // then, and a port streaming frame-like noise is passed over. The grant
  // belongs to its frame: a frame spoiled, dropped or abandoned for a new
  // SOH gives it up, and a frame begun after the deadline gets none.
  constexpr TimePoint kNoFrame = TimePoint::min();
  TimePoint frame_deadline = kNoFrame;
  const auto frame_wire_time = FrameWireTime(port_speed);
  int empty_reads = 0;
  while (empty_reads < kEmptyReadLimit) {
    const TimePoint now = clock();
    if (now >= std::max(deadline, frame_deadline)) return;
    const serial::ReadResult read = channel->Read(buffer);
    if (!read && read.Failure().Gone()) {
      // Nothing can arrive on a line that has gone; fifty more empty reads
      // would only hold the window for five seconds to say the same.
      line_gone = true;
      receiver.ReadFailed();
      return;
    }
    if (!read || *read == 0) {
      if (!read) receiver.ReadFailed();
      if (receiver.State() == 0) frame_deadline = kNoFrame;
      ++empty_reads;
      continue;
    }
    // One read takes every byte already waiting (fewer system calls at high
    // speeds); the receiver still sees them one at a time, in order.
    const TimePoint arrived = clock();
    const std::size_t count = std::min(*read, buffer.size());
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t byte = buffer[i];
      receiver.ReceiveByte(byte);
      if (byte == kSyn) {
        deadline = std::max(deadline, std::min(arrived + reply_timeout, syn_limit));
        empty_reads = 0;
      } else if (byte == kSoh && receiver.State() == 1) {
        frame_deadline = arrived < deadline ? deadline + frame_wire_time : kNoFrame;
        if (frame_deadline != kNoFrame) empty_reads = 0;
      } else if (frame_deadline != kNoFrame && (receiver.State() != 0 || receiver.Ended())) {
        empty_reads = 0;  // a byte of the frame in progress
      }
      if (receiver.State() == 0 && !receiver.Ended()) frame_deadline = kNoFrame;
      if (!receiver.Ended()) continue;
      // The reply is complete at its ETX or NAK; waiting for one more empty
      // read would only add 100 ms to every exchange of a download.
      if (BelongsToRequest(seq, command)) return;
      log.WriteSessionLog(ReplyLogHead() + " DROPPED", std::string(";").append(receiver.RawReply()));
      receiver.DropFrame();
      frame_deadline = kNoFrame;
    }
  }
}

}  // namespace fjl::link

#include "sim/lib/in_process_channel.h"

#include <cerrno>
#include <thread>

namespace fjl::sim {

using std::chrono::nanoseconds;

InProcessChannel::InProcessChannel(Simulator& simulator, InProcessOptions options)
    : simulator_(simulator), options_(options), opened_(std::chrono::steady_clock::now()) {}

nanoseconds InProcessChannel::Now() const {
  if (!options_.real_time) return virtual_now_;
  return std::chrono::duration_cast<nanoseconds>(std::chrono::steady_clock::now() - opened_);
}

void InProcessChannel::WaitUntil(nanoseconds t) {
  if (!options_.real_time) {
    if (t > virtual_now_) virtual_now_ = t;
    return;
  }
  std::this_thread::sleep_until(opened_ + t);
}

platform::SystemResult InProcessChannel::Write(std::span<const std::uint8_t> bytes) {
  if (closed_) return platform::SystemResult::FromErrno(EBADF);
  // A pseudo-terminal whose far end has closed answers writes with EIO.
  if (hung_up_) return platform::SystemResult::DeviceGone(EIO);
  const nanoseconds now = Now();
  for (Answer& answer : simulator_.Receive(bytes)) {
    // The printer starts once the whole request has reached it, and never
    // talks over its own previous reply.
    nanoseconds t = std::max(now + WireTime(answer.request_length, options_.baud), line_free_);
    for (const Emission& e : answer.emissions) {
      t += e.pause;
      // From the emission's start, so rounding never accumulates.
      for (std::size_t k = 0; k < e.bytes.size(); ++k) {
        queue_.push_back(Due{t + WireTime(k + 1, options_.baud), e.bytes[k], false});
      }
      t += WireTime(e.bytes.size(), options_.baud);
      if (e.hangup) queue_.push_back(Due{t, 0, true});
    }
    line_free_ = t;
  }
  return {};
}

std::size_t InProcessChannel::Deliver(std::span<std::uint8_t> buffer) {
  const nanoseconds now = Now();
  std::size_t count = 0;
  while (count < buffer.size() && !queue_.empty() && queue_.front().at <= now && !queue_.front().hangup) {
    buffer[count++] = queue_.front().byte;
    queue_.pop_front();
  }
  if (count == 0 && !queue_.empty() && queue_.front().hangup && queue_.front().at <= now) hung_up_ = true;
  return count;
}

serial::ReadResult InProcessChannel::Read(std::span<std::uint8_t> buffer) {
  if (closed_) return platform::SystemResult::FromErrno(EBADF);
  if (hung_up_) return platform::SystemResult::DeviceGone(0);
  if (buffer.empty()) return std::size_t{0};
  std::size_t count = Deliver(buffer);
  if (count == 0 && !hung_up_) {
    const nanoseconds limit = Now() + kReadWait;
    const nanoseconds next = queue_.empty() ? limit : std::min(limit, queue_.front().at);
    WaitUntil(next);
    count = Deliver(buffer);
  }
  if (hung_up_) return platform::SystemResult::DeviceGone(0);
  if (count == 0) ++empty_reads_;
  return count;
}

platform::SystemResult InProcessChannel::Purge(serial::PurgeDirection direction) {
  if (closed_) return platform::SystemResult::FromErrno(EBADF);
  if (direction == serial::PurgeDirection::Output) return {};
  // Only what has already arrived is discarded; bytes still on the wire come in later.
  const nanoseconds now = Now();
  while (!queue_.empty() && queue_.front().at <= now && !queue_.front().hangup) queue_.pop_front();
  return {};
}

bool InProcessChannel::Close() {
  if (closed_) return false;
  closed_ = true;
  queue_.clear();
  return true;
}

std::unique_ptr<serial::SerialChannel> MakeInProcessChannel(Simulator& simulator, InProcessOptions options) {
  return std::make_unique<InProcessChannel>(simulator, options);
}

serial::ChannelOpener InProcessOpener(Simulator& simulator, InProcessOptions options) {
  return [&simulator, options](const std::string&, std::int32_t) -> serial::OpenedChannel {
    return std::make_unique<InProcessChannel>(simulator, options);
  };
}

}  // namespace fjl::sim

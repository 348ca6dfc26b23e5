#pragma once
// The simulator behind the SerialChannel interface, in the same process: a
// DeviceLink opened through InProcessOpener talks to the printer with no
// pseudo-terminal and no thread.
//
// By default the channel runs on its own clock: a read that finds nothing
// waiting moves that clock on by 100 ms (or to the next byte due) instead of
// sleeping, so a silent printer costs 50 empty reads and no wall time, and
// SYN keep-alives or pacing keep their exact timing. With real_time the
// channel sleeps like a port does.

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>

#include "serial/serial_channel.h"
#include "sim/lib/simulator.h"

namespace fjl::sim {

struct InProcessOptions {
  std::int64_t baud = 0;   // line speed the printer's bytes take; 0 delivers them at once
  bool real_time = false;  // sleep for real instead of advancing the channel clock
};

class InProcessChannel : public serial::SerialChannel {
 public:
  static constexpr std::chrono::milliseconds kReadWait{100};

  explicit InProcessChannel(Simulator& simulator, InProcessOptions options = {});

  serial::ReadResult Read(std::span<std::uint8_t> buffer) override;
  platform::SystemResult Write(std::span<const std::uint8_t> bytes) override;
  platform::SystemResult Drain() override { return closed_ ? platform::SystemResult::FromErrno(EBADF) : platform::SystemResult(); }
  platform::SystemResult Purge(serial::PurgeDirection direction) override;
  bool Close() override;
  int Handle() const override { return closed_ ? -1 : 3; }

  // Time on the channel's clock since it was opened.
  std::chrono::nanoseconds Now() const;
  // Reads that returned nothing because the wait ran out.
  std::size_t EmptyReads() const { return empty_reads_; }

 private:
  struct Due {
    std::chrono::nanoseconds at;
    std::uint8_t byte = 0;
    bool hangup = false;
  };

  std::size_t Deliver(std::span<std::uint8_t> buffer);
  void WaitUntil(std::chrono::nanoseconds t);

  Simulator& simulator_;
  InProcessOptions options_;
  std::chrono::steady_clock::time_point opened_;
  std::chrono::nanoseconds virtual_now_{0};
  std::chrono::nanoseconds line_free_{0};
  std::deque<Due> queue_;
  std::size_t empty_reads_ = 0;
  bool closed_ = false;
  bool hung_up_ = false;
};

std::unique_ptr<serial::SerialChannel> MakeInProcessChannel(Simulator& simulator,
                                                          InProcessOptions options = {});

// An opener for DeviceLink(ChannelOpener): every port name and speed reaches
// `simulator`, which must outlive the link.
serial::ChannelOpener InProcessOpener(Simulator& simulator, InProcessOptions options = {});

}  // namespace fjl::sim

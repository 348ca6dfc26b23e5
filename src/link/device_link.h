#pragma once
// The printer link: one open port, the frame sequence counter, the reply
// receiver and the latest DeviceResponse. main() owns exactly one.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "serial/serial_channel.h"
#include "link/session_log.h"

namespace fjl::link {

// A reply wait ends after this many consecutive empty reads (100 ms each).
inline constexpr int kEmptyReadLimit = 50;
// A wait that only SYN bytes keep alive ends as no reply after this long
// without any other byte.
inline constexpr std::chrono::seconds kSynOnlyWaitCap{60};

using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

class DeviceLink : public Exchanger {
 public:
  // The default opener is the platform's serial port (POSIX tty).
  DeviceLink();
  explicit DeviceLink(ChannelOpener opener);
  ~DeviceLink() override;
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // Opens the named port at `speed`, raw 8N1, purged. Returns the port
  // handle, or -1 when the port could not be opened. A port still open is
  // closed first, as CloseLink does. After a failed open the link has no
  // port: exchanges end at once with StatusNoReply.
  std::int32_t OpenLink(const std::string& port, std::int32_t speed);
  // Flushes, purges and closes the port. Non-zero when it was closed.
  int CloseLink();
  bool IsOpen() const;

  // Sends one command frame and waits for the reply (see exchanger.h).
  // Before the first OpenLink nothing is sent and the record is returned
  // unchanged. A data text longer than one frame carries (kMaxFrameData) or a
  // command outside 0..255 is not sent either: the record then holds the
  // command and data with Status = StatusNoReply | StatusNotSent.
  // When the far end hangs up during the wait (a pulled adapter), the
  // exchange ends at once with StatusNoReply, and the next one opens the
  // port again by the name and speed OpenLink was given (CloseLink ends that).
  const DeviceResponse& Exchange(std::int32_t command, std::string_view data) override;
  const DeviceResponse& Response() const;
  // Why the latest exchange's request could not be sent (the port refused
  // the write, or a purge or flush before it); success when it was sent.
  // Such an exchange ends as no reply without waiting.
  const SystemResult& SendFailure() const;

  // Session log file name; empty (the default) writes no log.
  void SetSessionLogName(std::string name);

  // Test seams: the log's time stamp and directory, and the clock that
  // bounds a wait kept alive by SYN bytes.
  void SetLogClock(LocalTimeSource clock);
  void SetLogDirectory(DirectorySource directory);
  void SetMonotonicClock(MonotonicClock clock);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace fjl::link

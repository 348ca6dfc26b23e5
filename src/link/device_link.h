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

using platform::SystemResult;

// A reply wait ends after this many consecutive empty reads (100 ms each).
inline constexpr int kEmptyReadLimit = 50;
// The time a request has to be answered in: the same five seconds the empty
// reads count, but on the clock, so a line that never falls silent (noise,
// frames meant for another request) cannot hold the wait open.
inline constexpr std::chrono::milliseconds kReplyTimeout{5000};
// SYN says "still working" and moves the wait on, but never past this long
// after the request went out.
inline constexpr std::chrono::seconds kSynOnlyWaitCap{60};
// The longest reply frame there is, SOH to ETX (LEN tops out at 0xFF),
// rounded up: a frame begun in time may end this long on the line after the
// time-out, no later.
inline constexpr std::size_t kMaxReplyFrameBytes = 300;

using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

class DeviceLink : public Exchanger {
 public:
  // The default opener is the platform's serial port (POSIX tty).
  DeviceLink();
  explicit DeviceLink(serial::ChannelOpener opener);
  ~DeviceLink() override;
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // Opens the named port at `speed`, raw 8N1, purged. Returns the port
  // handle, or -1 when the port could not be opened. A port still open is
  // closed first, as CloseLink does. After a failed open the link has no
  // port: exchanges end at once with StatusNoReply.
  std::int32_t OpenLink(const std::string& port, std::int32_t speed);
  // Flushes, purges and closes the port: non-zero when it was closed (a
  // port a hang-up already took counts as closed), 0 when closing failed or
  // no port was open. Either way the link forgets the port: no exchange
  // opens it again until the next OpenLink.
  int CloseLink();
  bool IsOpen() const;
  // Why the last OpenLink failed; success after one that opened.
  const SystemResult& OpenFailure() const;
  // Whether any reply (a frame, a NAK) came since the last OpenLink: a first
  // exchange that meets silence points at the cable, the speed or the port
  // rather than at the printer.
  bool HeardSinceOpen() const;

  // Sends one command frame and waits for the reply (see exchanger.h). Only
  // a frame carrying the request's own SEQ and command byte is taken; any
  // other complete frame (a late reply to an earlier request, a repeat) is
  // logged as dropped and the wait goes on within the same time budget.
  // Before the first OpenLink nothing is sent and the record is returned
  // unchanged. A data text longer than one frame carries (kMaxFrameData) or a
  // command outside 0..255 is not sent either: the record then holds the
  // command and data with Status = StatusNoReply | StatusNotSent.
  // When the far end hangs up during the wait (a pulled adapter), the
  // exchange ends at once with StatusNoReply, and the next one opens the
  // port again by the name and speed OpenLink was given (CloseLink ends that).
  // A port found gone only when the request is sent (it went while the link
  // was idle) is opened again at once, and the request goes there.
  const DeviceResponse& Exchange(std::int32_t command, std::string_view data) override;
  const DeviceResponse& Response() const;
  // Why the latest exchange's request could not be sent (the port refused
  // the write, or a purge or flush before it); success when it was sent.
  // Such an exchange ends as no reply without waiting.
  const SystemResult& SendFailure() const;

  // How long a request has to be answered in (kReplyTimeout by default); a
  // reply frame begun by then may take the wire time of the longest frame
  // more. A search for the printer asks each port and speed with a much
  // shorter one, so a port is passed over after that and one frame's time.
  void SetReplyTimeout(std::chrono::milliseconds timeout);
  // Called once a request has gone out, before the wait for its reply: the
  // reply's wire time is when a window can repaint without slowing the
  // line. Empty for none.
  void SetWhileAwaitingReply(std::function<void()> hook);

  // Session log file name; empty (the default) writes no log.
  void SetSessionLogName(std::string name);
  // Hears, once per log file name, why the log stopped taking entries.
  void SetLogFailureHandler(LogFailureHandler handler);

  // Test seams: the log's time stamp, directory and writer, and the clock
  // that bounds every reply wait.
  void SetLogClock(LocalTimeSource clock);
  void SetLogDirectory(DirectorySource directory);
  void SetLogWriter(LogWriter writer);
  void SetMonotonicClock(MonotonicClock clock);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace fjl::link

#pragma once
// The printer link: one open port, the frame sequence counter, the reply
// receiver and the latest DeviceResponse. main() owns exactly one.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "link/serial_channel.h"

namespace fjl::link {

class DeviceLink : public Exchanger {
 public:
  // The default opener is the platform's serial port (POSIX tty).
  DeviceLink();
  explicit DeviceLink(ChannelOpener opener);
  ~DeviceLink() override;
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // Opens the named port at `speed`, raw 8N1, purged. Returns the port
  // handle, or -1 when the port could not be opened.
  std::int32_t OpenLink(const std::string& port, std::int32_t speed);
  // Flushes, purges and closes the port. Non-zero when it was closed.
  int CloseLink();
  bool IsOpen() const;

  // Sends one command frame and waits for the reply (see exchanger.h).
  const DeviceResponse& Exchange(std::int32_t command, std::string_view data) override;
  const DeviceResponse& Response() const;

  // Session log file name; empty (the default) writes no log.
  void SetSessionLogName(std::string name);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace fjl::link

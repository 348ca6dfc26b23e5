#pragma once
// What the serial port component needs from an open port. The platform's
// port is the real one (a tty on POSIX, a COM handle on Windows); tests put a
// scripted fake in its place. Every call answers success or the system's
// error of the step that failed.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/system_result.h"
#include "port/port_types.h"

namespace fjl::port {

using platform::SystemResult;

class PortIo {
 public:
  virtual ~PortIo() = default;

  virtual SystemResult ReadSettings(LineSettings& settings) = 0;
  // Writes the settings; a setting the driver does not take is an error.
  virtual SystemResult WriteSettings(const LineSettings& settings) = 0;
  virtual SystemResult SetTimeouts(const T1CommTimeouts& timeouts) = 0;

  // Reads by the time-out record's rules; `count` is what arrived.
  virtual SystemResult Read(std::span<std::uint8_t> buffer, std::size_t& count) = 0;
  // Writes within the write time-outs; `written` counts what went out.
  virtual SystemResult Write(std::span<const std::uint8_t> bytes, std::size_t& written) = 0;
  // Sends one character straight away.
  virtual SystemResult TransmitChar(std::uint8_t byte) = 0;
  // Waits until the output has gone out.
  virtual SystemResult Flush() = 0;
  virtual SystemResult Purge(std::uint32_t purge_flags) = 0;
  // Clears the port's error state and fetches its queue status.
  virtual SystemResult ClearError() = 0;
  virtual SystemResult Escape(std::uint32_t function) = 0;
  virtual SystemResult Close() = 0;

  // A session keeps the port's read and write routines in physical memory,
  // so no page fault delays a byte. Where the system buffers the port itself
  // (POSIX ttys) there is nothing to lock.
  virtual SystemResult LockCode() { return {}; }
  virtual SystemResult UnlockCode() { return {}; }
};

// The open port, or why it could not be opened.
using OpenedPortIo = platform::Result<std::unique_ptr<PortIo>>;
using PortIoOpener = std::function<OpenedPortIo(const std::string& name)>;

// The platform's port: a POSIX tty opened exclusively, raw, driven by termios
// and the modem-line ioctls; or a Windows COM handle driven by its DCB.
OpenedPortIo OpenSystemPortIo(const std::string& name);

}  // namespace fjl::port

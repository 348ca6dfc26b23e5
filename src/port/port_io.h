#pragma once
// What the serial port component needs from an open port. The POSIX tty is
// the real one; tests put a scripted fake in its place. Every call answers 0
// or the errno of the step that failed.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "port/port_types.h"

namespace fjl::link {

class PortIo {
 public:
  virtual ~PortIo() = default;

  virtual int ReadSettings(LineSettings& settings) = 0;
  // Writes the settings; a setting the driver does not take is an error.
  virtual int WriteSettings(const LineSettings& settings) = 0;
  virtual int SetTimeouts(const T1CommTimeouts& timeouts) = 0;

  // Reads by the time-out record's rules; `count` is what arrived.
  virtual int Read(std::span<std::uint8_t> buffer, std::size_t& count) = 0;
  // Writes within the write time-outs; `written` counts what went out.
  virtual int Write(std::span<const std::uint8_t> bytes, std::size_t& written) = 0;
  // Sends one character straight away.
  virtual int TransmitChar(std::uint8_t byte) = 0;
  // Waits until the output has gone out.
  virtual int Flush() = 0;
  virtual int Purge(std::uint32_t purge_flags) = 0;
  // Clears the port's error state and fetches its queue status.
  virtual int ClearError() = 0;
  virtual int Escape(std::uint32_t function) = 0;
  virtual int Close() = 0;
};

// Opens a port by name; null with `error` set when it cannot be opened.
using PortIoOpener = std::function<std::unique_ptr<PortIo>(const std::string& name, int& error)>;

// The POSIX tty: opened exclusively, raw, driven by termios and the
// modem-line ioctls.
std::unique_ptr<PortIo> OpenPosixPortIo(const std::string& path, int& error);

}  // namespace fjl::link

#pragma once
// A byte channel to the printer: the platform's serial port, a pseudo-terminal,
// or an in-process fake. DeviceLink and TPortControl speak only to this.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/system_result.h"

namespace fjl::serial {

using platform::Result;
using platform::SystemResult;

// The bytes a read stored (0 when the wait ran out), or why it failed; a
// failure that is Gone() means the far end is gone (a closed pty, a pulled
// adapter).
using ReadResult = Result<std::size_t>;

enum class PurgeDirection { Input, Output, Both };

class SerialChannel {
 public:
  virtual ~SerialChannel() = default;

  // Returns every byte already waiting (up to buffer.size()), or waits up to
  // 100 ms for the first one.
  virtual ReadResult Read(std::span<std::uint8_t> buffer) = 0;
  // Writes everything. A failure whose result is Gone() means the device
  // has vanished (a pulled adapter): nothing more can be sent or received.
  virtual SystemResult Write(std::span<const std::uint8_t> bytes) = 0;
  // Waits until the output has gone out.
  virtual SystemResult Drain() = 0;
  // Discards queued bytes and aborts pending transfers.
  virtual SystemResult Purge(PurgeDirection direction) = 0;
  // Closes the port; true on success. Further calls fail quietly.
  virtual bool Close() = 0;
  // A small non-negative number standing for the open port, as the
  // platform's handle did; -1 once closed.
  virtual int Handle() const = 0;
};

// The open port, or why it could not be opened.
using OpenedChannel = Result<std::unique_ptr<SerialChannel>>;

// Opens a port by name at a line speed, raw 8N1.
using ChannelOpener = std::function<OpenedChannel(const std::string& port, std::int32_t speed)>;

// The platform's serial port: a device path ("/dev/ttyUSB0") on POSIX, a COM
// name ("COM3", "\\.\COM12") on Windows. Raw 8N1 at `speed`, reads that
// wait at most 100 ms and take every byte already waiting, both queues
// purged.
OpenedChannel OpenSerialPort(const std::string& name, std::int32_t speed);

}  // namespace fjl::serial

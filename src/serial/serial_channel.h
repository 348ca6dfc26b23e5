#pragma once
// A byte channel to the printer: the platform's serial port, a pseudo-terminal,
// or an in-process fake. DeviceLink and TPortControl speak only to this.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace fjl::link {

struct ReadResult {
  std::size_t count = 0;  // bytes stored; 0 when the wait ran out or on error
  int error = 0;          // errno of a failed read, 0 otherwise
  bool hangup = false;    // the far end is gone (closed pty, pulled adapter)
};

enum class PurgeDirection { Input, Output, Both };

class SerialChannel {
 public:
  virtual ~SerialChannel() = default;

  // Returns every byte already waiting (up to buffer.size()), or waits up to
  // 100 ms for the first one.
  virtual ReadResult Read(std::span<std::uint8_t> buffer) = 0;
  // Writes everything; false on failure.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // Waits until the output has gone out (tcdrain).
  virtual void Drain() = 0;
  // Discards queued bytes (tcflush).
  virtual void Purge(PurgeDirection direction) = 0;
  // Closes the port; true on success. Further calls fail quietly.
  virtual bool Close() = 0;
  // A small non-negative number standing for the open port, as the
  // platform's handle did; -1 once closed.
  virtual int Handle() const = 0;
};

// Opens a port by name at a line speed, raw 8N1; nullptr when it cannot be
// opened (errno tells why).
using ChannelOpener =
    std::function<std::unique_ptr<SerialChannel>(const std::string& port, std::int32_t speed)>;

}  // namespace fjl::link

#include "serial/posix/serial_posix.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "serial/posix/port_tty.h"

namespace fjl::serial {

namespace {

constexpr auto kReadWindow = std::chrono::milliseconds(100);

// The tty layer answers EIO once the device is gone (a pulled USB adapter,
// a closed pseudo-terminal master), and the driver of a vanished device may
// answer ENXIO or ENODEV: every call on the line says so alike, so a port
// left idle while the adapter was pulled is known gone at the first drain.
SystemResult LineResult(int error) {
  if (error == 0) return {};
  return error == EIO || error == ENXIO || error == ENODEV ? SystemResult::DeviceGone(error) : SystemResult(error);
}

class PosixSerialChannel final : public SerialChannel {
 public:
  PosixSerialChannel(tty::ExclusivePort port, std::int32_t speed) : port_(port), fd_(port.fd), speed_(speed) {}
  ~PosixSerialChannel() override { Close(); }
  PosixSerialChannel(const PosixSerialChannel&) = delete;
  PosixSerialChannel& operator=(const PosixSerialChannel&) = delete;

  ReadResult Read(std::span<std::uint8_t> buffer) override {
    const auto deadline = std::chrono::steady_clock::now() + kReadWindow;
    if (fd_ < 0) {
      tty::SleepUntil(deadline);
      return SystemResult(EBADF);
    }
    if (buffer.empty()) return std::size_t{0};
    for (;;) {
      const platform::Result<tty::WaitOutcome> wait = tty::WaitReadable(fd_, deadline);
      if (!wait) {
        tty::SleepUntil(deadline);
        return wait.Failure();
      }
      if (*wait == tty::WaitOutcome::TimedOut) return std::size_t{0};
      if (*wait == tty::WaitOutcome::HungUp) return Gone(deadline, 0);
      const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
      if (got > 0) return static_cast<std::size_t>(got);
      if (got == 0) return Gone(deadline, 0);
      if (errno == EINTR || errno == EAGAIN) continue;
      if (errno == EIO) return Gone(deadline, EIO);
      const SystemResult error(errno);
      tty::SleepUntil(deadline);
      return error;
    }
  }

  SystemResult Write(std::span<const std::uint8_t> bytes) override {
    if (fd_ < 0) return EBADF;
    // The frame's own wire time and a second to spare: a line held for
    // longer by flow control is as good as gone.
    const auto wire = std::chrono::microseconds(static_cast<std::int64_t>(bytes.size()) * 10'000'000 / speed_);
    std::size_t done = 0;
    const SystemResult written =
        tty::WriteAll(fd_, bytes, done, std::chrono::steady_clock::now() + wire + std::chrono::seconds(1));
    return LineResult(written.Code());
  }

  SystemResult Drain() override {
    if (fd_ < 0) return EBADF;
    return ::tcdrain(fd_) == 0 ? SystemResult() : LineResult(errno);
  }

  SystemResult Purge(PurgeDirection direction) override {
    if (fd_ < 0) return EBADF;
    int queue = TCIOFLUSH;
    switch (direction) {
      case PurgeDirection::Input: queue = TCIFLUSH; break;
      case PurgeDirection::Output: queue = TCOFLUSH; break;
      case PurgeDirection::Both: queue = TCIOFLUSH; break;
    }
    return ::tcflush(fd_, queue) == 0 ? SystemResult() : LineResult(errno);
  }

  bool Close() override {
    if (fd_ < 0) return false;
    const SystemResult closed = tty::CloseExclusive(port_);
    port_.fd = -1;
    fd_ = -1;
    return closed.Ok();
  }

  int Handle() const override { return fd_; }

 private:
  // A dead port answers at once; waiting out the window keeps a caller that
  // simply retries from burning the processor.
  static ReadResult Gone(std::chrono::steady_clock::time_point deadline, int error) {
    tty::SleepUntil(deadline);
    return SystemResult::DeviceGone(error);
  }

  tty::ExclusivePort port_;
  int fd_;
  std::int32_t speed_;
};

}  // namespace

OpenedChannel OpenPosixSerialChannel(const std::string& path, std::int32_t speed) {
  if (speed <= 0) return SystemResult(EINVAL);
  const platform::Result<tty::ExclusivePort> opened = tty::OpenExclusive(path);
  if (!opened) return opened.Failure();
  const tty::ExclusivePort& port = *opened;
  termios settings = port.original;
  tty::MakeRaw(settings);
  tty::SetEightNoneOne(settings);
  if (SystemResult applied = tty::ApplySettings(port.fd, settings, static_cast<std::uint32_t>(speed)); !applied) {
    tty::CloseExclusive(port);
    return applied;
  }
  ::tcflush(port.fd, TCIOFLUSH);
  return std::make_unique<PosixSerialChannel>(port, speed);
}

OpenedChannel OpenSerialPort(const std::string& name, std::int32_t speed) {
  return OpenPosixSerialChannel(name, speed);
}

}  // namespace fjl::serial

#include "serial/posix/serial_posix.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "serial/posix/port_tty.h"

namespace fjl::link {

namespace {

constexpr auto kReadWindow = std::chrono::milliseconds(100);

class PosixSerialChannel final : public SerialChannel {
 public:
  explicit PosixSerialChannel(int fd) : fd_(fd) {}
  ~PosixSerialChannel() override { Close(); }
  PosixSerialChannel(const PosixSerialChannel&) = delete;
  PosixSerialChannel& operator=(const PosixSerialChannel&) = delete;

  ReadResult Read(std::span<std::uint8_t> buffer) override {
    const auto deadline = std::chrono::steady_clock::now() + kReadWindow;
    if (fd_ < 0) {
      tty::SleepUntil(deadline);
      return {0, EBADF, false};
    }
    if (buffer.empty()) return {};
    for (;;) {
      int error = 0;
      switch (tty::WaitReadable(fd_, deadline, error)) {
        case tty::WaitOutcome::TimedOut:
          return {};
        case tty::WaitOutcome::HungUp:
          return Gone(deadline, 0);
        case tty::WaitOutcome::Failed:
          tty::SleepUntil(deadline);
          return {0, error, false};
        case tty::WaitOutcome::Readable:
          break;
      }
      const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
      if (got > 0) return {static_cast<std::size_t>(got), 0, false};
      if (got == 0) return Gone(deadline, 0);
      if (errno == EINTR || errno == EAGAIN) continue;
      if (errno == EIO) return Gone(deadline, EIO);
      const int error_code = errno;
      tty::SleepUntil(deadline);
      return {0, error_code, false};
    }
  }

  SystemResult Write(std::span<const std::uint8_t> bytes) override {
    if (fd_ < 0) return EBADF;
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (put > 0) {
        done += static_cast<std::size_t>(put);
      } else if (put < 0 && errno == EINTR) {
        continue;
      } else {
        const int error = put < 0 ? errno : EIO;
        // The tty layer answers EIO once the device is gone (a pulled USB
        // adapter, a closed pseudo-terminal master).
        return error == EIO || error == ENXIO || error == ENODEV ? SystemResult::DeviceGone(error)
                                                                 : SystemResult(error);
      }
    }
    return {};
  }

  SystemResult Drain() override {
    if (fd_ < 0) return EBADF;
    return ::tcdrain(fd_) == 0 ? 0 : errno;
  }

  SystemResult Purge(PurgeDirection direction) override {
    if (fd_ < 0) return EBADF;
    int queue = TCIOFLUSH;
    switch (direction) {
      case PurgeDirection::Input: queue = TCIFLUSH; break;
      case PurgeDirection::Output: queue = TCOFLUSH; break;
      case PurgeDirection::Both: queue = TCIOFLUSH; break;
    }
    return ::tcflush(fd_, queue) == 0 ? 0 : errno;
  }

  bool Close() override {
    if (fd_ < 0) return false;
    const int result = tty::CloseExclusive(fd_);
    fd_ = -1;
    return result == 0;
  }

  int Handle() const override { return fd_; }

 private:
  // A dead port answers at once; waiting out the window keeps a caller that
  // simply retries from burning the processor.
  static ReadResult Gone(std::chrono::steady_clock::time_point deadline, int error) {
    tty::SleepUntil(deadline);
    return {0, error, true};
  }

  int fd_;
};

}  // namespace

std::unique_ptr<SerialChannel> OpenPosixSerialChannel(const std::string& path, std::int32_t speed) {
  if (speed <= 0) {
    errno = EINVAL;
    return nullptr;
  }
  int error = 0;
  const int fd = tty::OpenExclusive(path, error);
  if (fd < 0) {
    errno = error;
    return nullptr;
  }
  termios settings{};
  int failure = ::tcgetattr(fd, &settings) == 0 ? 0 : errno;
  if (failure == 0) {
    tty::MakeRaw(settings);
    tty::SetEightNoneOne(settings);
    failure = tty::ApplySettings(fd, settings, static_cast<std::uint32_t>(speed));
  }
  if (failure != 0) {
    tty::CloseExclusive(fd);
    errno = failure;
    return nullptr;
  }
  ::tcflush(fd, TCIOFLUSH);
  return std::make_unique<PosixSerialChannel>(fd);
}

std::unique_ptr<SerialChannel> OpenSerialPort(const std::string& name, std::int32_t speed) {
  return OpenPosixSerialChannel(name, speed);
}

}  // namespace fjl::link

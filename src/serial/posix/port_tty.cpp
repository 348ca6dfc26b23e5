#include "serial/posix/port_tty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "serial/posix/tty_kernel.h"

namespace fjl::serial::tty {

namespace {

struct SpeedEntry {
  std::uint32_t bits_per_second;
  speed_t constant;
};

constexpr SpeedEntry kStandardSpeeds[] = {
    {110, B110},     {300, B300},     {600, B600},     {1200, B1200},
    {2400, B2400},   {4800, B4800},   {9600, B9600},   {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200},
};

int RemainingMilliseconds(std::chrono::steady_clock::time_point deadline) {
  const auto left = deadline - std::chrono::steady_clock::now();
  if (left <= std::chrono::steady_clock::duration::zero()) return 0;
  // Round up so a wait never ends a hair before its deadline.
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > 1'000'000'000 ? 1'000'000'000 : static_cast<int>(ms);
}

}  // namespace

platform::Result<ExclusivePort> OpenExclusive(const std::string& path) {
  // Non-blocking also keeps a port without carrier from waiting in open()
  // for the modem.
  ExclusivePort port;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return platform::SystemResult(errno);
  // TIOCEXCL alone does not stop root, and tests and services often run as
  // root: the advisory lock is what turns a second opener away.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const platform::SystemResult error(errno == EWOULDBLOCK ? EBUSY : errno);
    ::close(fd);
    return error;
  }
  if (::tcgetattr(fd, &port.original) != 0) {  // not a terminal at all
    const platform::SystemResult error(errno);
    ::close(fd);
    return error;
  }
  ::ioctl(fd, TIOCEXCL);
  port.fd = fd;
  return port;
}

platform::SystemResult CloseExclusive(const ExclusivePort& port) {
  if (port.fd < 0) return EBADF;
  // Fails harmlessly on a line that has gone away.
  ::tcsetattr(port.fd, TCSANOW, &port.original);
  // The exclusive flag belongs to the tty, not to this descriptor; leave the
  // port as openable as we found it.
  ::ioctl(port.fd, TIOCNXCL);
  if (::close(port.fd) != 0) return errno;
  return {};
}

platform::SystemResult WriteAll(int fd, std::span<const std::uint8_t> bytes, std::size_t& written,
             std::chrono::steady_clock::time_point deadline) {
  while (written < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (put > 0) {
      written += static_cast<std::size_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (!(put < 0 && errno == EAGAIN)) return put < 0 ? errno : EIO;
    // The output queue is full (a line held by flow control): wait for room.
    const int left = RemainingMilliseconds(deadline);
    if (left == 0) return ETIMEDOUT;
    pollfd watch{fd, POLLOUT, 0};
    if (::poll(&watch, 1, left) < 0 && errno != EINTR) return errno;
  }
  return {};
}

void MakeRaw(termios& settings) {
  settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                             ICRNL | IXON | IXOFF | IXANY);
  settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cflag |= static_cast<tcflag_t>(CLOCAL | CREAD);
  // Reads only follow a poll() that saw data and never block (O_NONBLOCK);
  // the counts keep a blocking reader of our settings sensible too.
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
}

void SetEightNoneOne(termios& settings) {
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | StickParityFlag());
  settings.c_cflag |= static_cast<tcflag_t>(CS8);
}

bool StandardSpeed(std::uint32_t bits_per_second, speed_t& constant) {
  for (const auto& entry : kStandardSpeeds) {
    if (entry.bits_per_second == bits_per_second) {
      constant = entry.constant;
      return true;
    }
  }
  return false;
}

platform::SystemResult ApplySettings(int fd, termios settings, std::uint32_t bits_per_second) {
  if (bits_per_second == 0) return EINVAL;
  speed_t constant{};
  const bool standard = StandardSpeed(bits_per_second, constant);
  if (standard && (::cfsetispeed(&settings, constant) != 0 || ::cfsetospeed(&settings, constant) != 0)) {
    return errno;
  }
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) return errno;
  if (!standard) return SetArbitraryLineSpeed(fd, bits_per_second);
  return {};
}

platform::Result<WaitOutcome> WaitReadable(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    pollfd watch{fd, POLLIN, 0};
    const int ready = ::poll(&watch, 1, RemainingMilliseconds(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return platform::SystemResult(errno);
    }
    if (ready == 0) return WaitOutcome::TimedOut;
    if ((watch.revents & POLLIN) != 0) return WaitOutcome::Readable;
    if ((watch.revents & POLLNVAL) != 0) return platform::SystemResult(EBADF);
    return WaitOutcome::HungUp;  // POLLHUP or POLLERR with nothing left to read
  }
}

void SleepUntil(std::chrono::steady_clock::time_point deadline) {
  std::this_thread::sleep_until(deadline);
}

}  // namespace fjl::serial::tty

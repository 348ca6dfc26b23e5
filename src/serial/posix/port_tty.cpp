#include "serial/posix/port_tty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "serial/posix/port_line_speed.h"

namespace fjl::link::tty {

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

int OpenExclusive(const std::string& path, int& error) {
  // Non-blocking only for the open itself: a port without carrier would
  // otherwise wait in open() for the modem.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  // TIOCEXCL alone does not stop root, and tests and services often run as
  // root: the advisory lock is what turns a second opener away.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = (errno == EWOULDBLOCK) ? EBUSY : errno;
    ::close(fd);
    return -1;
  }
  termios probe{};
  if (::tcgetattr(fd, &probe) != 0) {  // not a terminal at all
    error = errno;
    ::close(fd);
    return -1;
  }
  ::ioctl(fd, TIOCEXCL);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    error = errno;
    CloseExclusive(fd);
    return -1;
  }
  error = 0;
  return fd;
}

int CloseExclusive(int fd) {
  if (fd < 0) return EBADF;
  // The exclusive flag belongs to the tty, not to this descriptor; leave the
  // port as openable as we found it.
  ::ioctl(fd, TIOCNXCL);
  if (::close(fd) != 0) return errno;
  return 0;
}

void MakeRaw(termios& settings) {
  settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                             ICRNL | IXON | IXOFF | IXANY);
  settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cflag |= static_cast<tcflag_t>(CLOCAL | CREAD);
  // Reads only follow a poll() that saw data, so one byte is enough to end them.
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
}

void SetEightNoneOne(termios& settings) {
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
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

int ApplySettings(int fd, termios settings, std::uint32_t bits_per_second) {
  if (bits_per_second == 0) return EINVAL;
  speed_t constant{};
  const bool standard = StandardSpeed(bits_per_second, constant);
  if (standard && (::cfsetispeed(&settings, constant) != 0 || ::cfsetospeed(&settings, constant) != 0)) {
    return errno;
  }
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) return errno;
  if (!standard) return SetArbitraryLineSpeed(fd, bits_per_second);
  return 0;
}

WaitOutcome WaitReadable(int fd, std::chrono::steady_clock::time_point deadline, int& error) {
  error = 0;
  for (;;) {
    pollfd watch{fd, POLLIN, 0};
    const int ready = ::poll(&watch, 1, RemainingMilliseconds(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return WaitOutcome::Failed;
    }
    if (ready == 0) return WaitOutcome::TimedOut;
    if ((watch.revents & POLLIN) != 0) return WaitOutcome::Readable;
    if ((watch.revents & POLLNVAL) != 0) {
      error = EBADF;
      return WaitOutcome::Failed;
    }
    return WaitOutcome::HungUp;  // POLLHUP or POLLERR with nothing left to read
  }
}

void SleepUntil(std::chrono::steady_clock::time_point deadline) {
  std::this_thread::sleep_until(deadline);
}

}  // namespace fjl::link::tty

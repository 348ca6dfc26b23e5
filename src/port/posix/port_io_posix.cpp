#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "port/port_io.h"
#include "serial/posix/tty_kernel.h"
#include "serial/posix/port_tty.h"

namespace fjl::port {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A port without modem lines (a pseudo-terminal, some USB bridges) answers
// the modem-line calls with these; that is not a failure of the port.
bool NoModemLines(int error) { return error == ENOTTY || error == EINVAL || error == ENOSYS; }

Clock::time_point After(std::uint64_t ms) {
  // Bounded so the sum cannot overflow the clock; 2^32 ms is some 50 days.
  return Clock::now() + milliseconds(static_cast<std::int64_t>(std::min<std::uint64_t>(ms, 0x1FFFFFFFFull)));
}

tcflag_t CharacterSize(databit bits) {
  switch (bits) {
    case databit::Bits5: return CS5;
    case databit::Bits6: return CS6;
    case databit::Bits7: return CS7;
    case databit::Bits8: return CS8;
  }
  return CS8;
}

tcflag_t ParityFlags(parity mode) {
  switch (mode) {
    case parity::NO: return 0;
    case parity::EVEN: return PARENB;
    case parity::ODD: return PARENB | PARODD;
    case parity::MARK: return PARENB | PARODD | serial::StickParityFlag();
  }
  return 0;
}

class PosixPortIo final : public PortIo {
 public:
  explicit PosixPortIo(serial::tty::ExclusivePort port) : port_(port), fd_(port.fd) {}
  ~PosixPortIo() override {
    if (fd_ >= 0) serial::tty::CloseExclusive(port_);
  }
  PosixPortIo(const PosixPortIo&) = delete;
  PosixPortIo& operator=(const PosixPortIo&) = delete;

  SystemResult ReadSettings(LineSettings& settings) override {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return errno;
    std::uint32_t rate = 0;
    if (SystemResult step = serial::ReadLineSpeed(fd_, rate); !step) return step;
    settings.bits_per_second = rate;
    switch (t.c_cflag & CSIZE) {
      case CS5: settings.data_bits = databit::Bits5; break;
      case CS6: settings.data_bits = databit::Bits6; break;
      case CS7: settings.data_bits = databit::Bits7; break;
      default: settings.data_bits = databit::Bits8; break;
    }
    const tcflag_t p = t.c_cflag & (PARENB | PARODD | serial::StickParityFlag());
    settings.parity_mode = p == ParityFlags(parity::EVEN)   ? parity::EVEN
                           : p == ParityFlags(parity::ODD)  ? parity::ODD
                           : p == ParityFlags(parity::MARK) ? parity::MARK
                                                            : parity::NO;
    if ((t.c_cflag & CSTOPB) == 0) {
      settings.stop_bits = stopbits::ONE;
    } else {
      // The UART sends one and a half stop bits for two when the character is five bits.
      settings.stop_bits = settings.data_bits == databit::Bits5 ? stopbits::ONE5 : stopbits::TWO;
    }
    settings.dtr = dtr_;
    settings.rts = rts_;
    return 0;
  }

  SystemResult WriteSettings(const LineSettings& wanted) override {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return errno;
    serial::tty::MakeRaw(t);
    // Without stick parity mark would go out as odd parity.
    if (wanted.parity_mode == parity::MARK && serial::StickParityFlag() == 0) return EINVAL;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | serial::StickParityFlag());
    t.c_cflag |= CharacterSize(wanted.data_bits) | ParityFlags(wanted.parity_mode);
    // termios knows one and two stop bits; the UART makes 1.5 of "two" only
    // for five-bit characters, and five-bit characters cannot have two.
    const bool five_bits = wanted.data_bits == databit::Bits5;
    switch (wanted.stop_bits) {
      case stopbits::ONE: break;
      case stopbits::ONE5:
        if (!five_bits) return EINVAL;
        t.c_cflag |= CSTOPB;
        break;
      case stopbits::TWO:
        if (five_bits) return EINVAL;
        t.c_cflag |= CSTOPB;
        break;
    }
    if (SystemResult step = serial::tty::ApplySettings(fd_, t, wanted.bits_per_second); !step) return step;
    if (SystemResult step = CheckTaken(t, wanted.bits_per_second); !step) return step;
    if (SystemResult step = ApplyLineControls(wanted, (t.c_cflag & CRTSCTS) != 0); !step) return step;
    dtr_ = wanted.dtr;
    rts_ = wanted.rts;
    return 0;
  }

  SystemResult SetTimeouts(const T1CommTimeouts& timeouts) override {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return errno;  // a vanished device refuses this too
    timeouts_ = timeouts;
    return 0;
  }

  SystemResult Read(std::span<std::uint8_t> buffer, std::size_t& count) override {
    count = 0;
    if (buffer.empty()) return 0;
    const std::uint32_t interval = timeouts_.ReadIntervalTimeout;
    const std::uint32_t multiplier = timeouts_.ReadTotalTimeoutMultiplier;
    const std::uint32_t constant = timeouts_.ReadTotalTimeoutConstant;

    if (interval == kTimeoutMax && multiplier == 0 && constant == 0) {
      return ReadWaiting(buffer, count, Clock::now());  // whatever is there, at once
    }
    if (interval == kTimeoutMax && multiplier == kTimeoutMax && constant != 0 && constant != kTimeoutMax) {
      return ReadWaiting(buffer, count, After(constant));  // first byte within the constant
    }
    const std::uint64_t total = std::uint64_t{multiplier} * buffer.size() + constant;
    const bool has_total = total != 0;
    const auto total_deadline = has_total ? After(total) : Clock::time_point::max();
    const bool has_interval = interval != 0 && interval != kTimeoutMax;
    while (count < buffer.size()) {
      auto deadline = total_deadline;
      if (has_interval && count > 0) deadline = std::min(deadline, After(interval));
      std::size_t got = 0;
      const SystemResult error = ReadWaiting(buffer.subspan(count), got, deadline);
      if (!error) return count > 0 ? SystemResult() : error;
      if (got == 0) break;  // the time-out ran out
      count += got;
    }
    return 0;
  }

  SystemResult Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
    written = 0;
    const std::uint64_t total =
        std::uint64_t{timeouts_.WriteTotalTimeoutMultiplier} * bytes.size() + timeouts_.WriteTotalTimeoutConstant;
    if (total == 0) return WriteBlocking(bytes, written);
    return WriteWithin(bytes, written, After(total));
  }

  SystemResult TransmitChar(std::uint8_t byte) override {
    std::size_t written = 0;
    return Write(std::span<const std::uint8_t>(&byte, 1), written);
  }

  SystemResult Flush() override { return ::tcdrain(fd_) == 0 ? 0 : errno; }

  SystemResult Purge(std::uint32_t flags) override {
    if ((flags & ~kPurgeAll) != 0) return EINVAL;
    const bool input = (flags & kPurgeRxClear) != 0;
    const bool output = (flags & kPurgeTxClear) != 0;
    // Reads and writes here are synchronous: there is never one pending to abort.
    if (!input && !output) {
      termios t{};
      return ::tcgetattr(fd_, &t) == 0 ? 0 : errno;
    }
    const int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return ::tcflush(fd_, queue) == 0 ? 0 : errno;
  }

  SystemResult ClearError() override {
    // The kernel reports line errors in-band and keeps no sticky error state;
    // what remains is the queue status, which fails on a vanished device.
    int waiting_in = 0;
    int waiting_out = 0;
    if (::ioctl(fd_, FIONREAD, &waiting_in) != 0) return errno;
    if (::ioctl(fd_, TIOCOUTQ, &waiting_out) != 0) return errno;
    return 0;
  }

  SystemResult Escape(std::uint32_t function) override {
    int line = 0;
    int result = 0;
    switch (function) {
      case kSetXoff: result = ::tcflow(fd_, TCOOFF); break;
      case kSetXon: result = ::tcflow(fd_, TCOON); break;
      case kSetRts: line = TIOCM_RTS; result = ::ioctl(fd_, TIOCMBIS, &line); break;
      case kClrRts: line = TIOCM_RTS; result = ::ioctl(fd_, TIOCMBIC, &line); break;
      case kSetDtr: line = TIOCM_DTR; result = ::ioctl(fd_, TIOCMBIS, &line); break;
      case kClrDtr: line = TIOCM_DTR; result = ::ioctl(fd_, TIOCMBIC, &line); break;
      case kSetBreak: result = ::ioctl(fd_, TIOCSBRK); break;
      case kClrBreak: result = ::ioctl(fd_, TIOCCBRK); break;
      default: return EINVAL;  // RESETDEV belongs to printer ports
    }
    return result == 0 ? 0 : errno;
  }

  SystemResult Close() override {
    SystemResult closed = serial::tty::CloseExclusive(port_);
    port_.fd = -1;
    fd_ = -1;
    return closed;
  }

 private:
  // The driver quietly drops what it cannot do (mark parity, an unusual
  // rate); reading the settings back is the only way to notice.
  SystemResult CheckTaken(const termios& asked, std::uint32_t bits_per_second) {
    termios got{};
    if (::tcgetattr(fd_, &got) != 0) return errno;
    const tcflag_t line_bits = CSIZE | PARENB | PARODD | CSTOPB | serial::StickParityFlag();
    if ((got.c_cflag & line_bits) != (asked.c_cflag & line_bits)) return EINVAL;
    std::uint32_t rate = 0;
    if (SystemResult step = serial::ReadLineSpeed(fd_, rate); !step) return step;
    // Allow the few percent a UART's divisor rounds by.
    const std::uint64_t off = rate > bits_per_second ? rate - bits_per_second : bits_per_second - rate;
    if (off * 50 > bits_per_second) return EINVAL;
    return {};
  }

  // DTR and RTS follow their controls. Handshake raises the line and leaves
  // hardware flow control as the port has it: termios has no DTR/DSR
  // handshake, and RTS/CTS is one switch for both directions.
  SystemResult ApplyLineControls(const LineSettings& wanted, bool rts_cts) {
    int raise = 0;
    int lower = 0;
    (wanted.dtr == dtrcontrol::DTR_DISABLE ? lower : raise) |= TIOCM_DTR;
    if (wanted.rts == rtscontrol::RTS_DISABLE) {
      lower |= TIOCM_RTS;
    } else if (!(wanted.rts == rtscontrol::RTS_HANDSHAKE && rts_cts)) {
      raise |= TIOCM_RTS;
    }
    if (raise != 0 && ::ioctl(fd_, TIOCMBIS, &raise) != 0 && !NoModemLines(errno)) return errno;
    if (lower != 0 && ::ioctl(fd_, TIOCMBIC, &lower) != 0 && !NoModemLines(errno)) return errno;
    return {};
  }

  // Waits for the first byte until `deadline`, then takes all that is waiting.
  SystemResult ReadWaiting(std::span<std::uint8_t> buffer, std::size_t& count, Clock::time_point deadline) {
    count = 0;
    for (;;) {
      const platform::Result<serial::tty::WaitOutcome> wait = serial::tty::WaitReadable(fd_, deadline);
      if (!wait) return wait.Failure();
      if (*wait == serial::tty::WaitOutcome::TimedOut) return {};
      if (*wait == serial::tty::WaitOutcome::HungUp) return EIO;
      const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
      if (got > 0) {
        count = static_cast<std::size_t>(got);
        return {};
      }
      if (got == 0) return EIO;  // end of file on a tty: the far end hung up
      if (errno != EINTR && errno != EAGAIN) return errno;
    }
  }

  SystemResult WriteBlocking(std::span<const std::uint8_t> bytes, std::size_t& written) {
    return serial::tty::WriteAll(fd_, bytes, written, Clock::time_point::max());
  }

  SystemResult WriteWithin(std::span<const std::uint8_t> bytes, std::size_t& written, Clock::time_point deadline) {
    return serial::tty::WriteAll(fd_, bytes, written, deadline);
  }

  serial::tty::ExclusivePort port_;
  int fd_;
  T1CommTimeouts timeouts_{};
  dtrcontrol dtr_ = dtrcontrol::DTR_ENABLE;
  rtscontrol rts_ = rtscontrol::RTS_ENABLE;
};

}  // namespace

OpenedPortIo OpenSystemPortIo(const std::string& name) {
  const platform::Result<serial::tty::ExclusivePort> port = serial::tty::OpenExclusive(name);
  if (!port) return port.Failure();
  return std::make_unique<PosixPortIo>(*port);
}

}  // namespace fjl::port

#include "sim/lib/pty_printer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "sim/lib/printer_commands.h"

namespace fjl::sim {
namespace {

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

[[noreturn]] void ThrowErrno(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

// The termios constant of a classic speed, or 0 for any other.
speed_t ClassicSpeed(std::int64_t baud) {
  constexpr std::pair<std::int64_t, speed_t> kSpeeds[] = {
      {110, B110},     {300, B300},     {600, B600},     {1200, B1200},   {2400, B2400},    {4800, B4800},
      {9600, B9600},   {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
  };
  for (const auto& [rate, constant] : kSpeeds) {
    if (rate == baud) return constant;
  }
  return 0;
}

}  // namespace

PtyPrinter::PtyPrinter(Simulator& simulator, PtyPrinterOptions options)
    : simulator_(simulator), options_(options) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) ThrowErrno("posix_openpt");
  char name[128];
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
    const int saved = errno;
    ::close(master_);
    throw std::system_error(saved, std::generic_category(), "pty slave");
  }
  slave_path_ = name;
  // A fresh pty echoes and edits lines; a printer's line does neither, and an
  // echo would feed the printer its own replies before the host sets raw mode.
  termios tio{};
  if (tcgetattr(master_, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(master_, TCSANOW, &tio);
  }
  if (pipe2(wake_, O_CLOEXEC) != 0) {
    const int saved = errno;
    ::close(master_);
    throw std::system_error(saved, std::generic_category(), "pipe2");
  }
  serving_ = true;
  thread_ = std::thread([this] { Serve(); });
}

PtyPrinter::~PtyPrinter() {
  Stop();
  for (int& fd : wake_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void PtyPrinter::Stop() {
  if (thread_.joinable()) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_[1], &byte, 1);
    thread_.join();
  }
  CloseMaster();
  serving_ = false;
}

void PtyPrinter::CloseMaster() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

bool PtyPrinter::Pause(std::int64_t until_ns) {
  for (;;) {
    const std::int64_t left = until_ns - NowNs();
    if (left <= 0) return true;
    pollfd wake{wake_[0], POLLIN, 0};
    const timespec ts{static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
    if (ppoll(&wake, 1, &ts, nullptr) > 0) return false;
  }
}

bool PtyPrinter::WriteAll(const std::uint8_t* data, std::size_t size) {
  // Counted before they go, so a host that has read them finds them counted.
  const std::int64_t now = NowNs();
  line_bytes_ += size;
  last_byte_ns_ = now;
  if (flash_answer_) flash_last_ns_ = now;
  while (size > 0) {
    const ssize_t n = ::write(master_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        if (!Pause(NowNs() + 1'000'000)) {
          line_bytes_ -= size;
          return false;
        }
        continue;
      }
      line_bytes_ -= size;
      return false;  // nobody on the slave side any more: the reply is lost
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void PtyPrinter::Play(const Answer& answer, std::int64_t request_start_ns) {
  const std::int64_t per_byte = WireTime(1, options_.baud).count();
  std::int64_t t = std::max(NowNs(), line_free_ns_);
  if (per_byte > 0) {
    t = std::max(t, request_start_ns + WireTime(answer.request_length, options_.baud).count());
  }
  bool wrote = false;
  for (const Emission& e : answer.emissions) {
    wrote = wrote || !e.bytes.empty();
    t += std::chrono::duration_cast<std::chrono::nanoseconds>(e.pause).count();
    if (!Pause(t)) return;
    if (per_byte == 0) {
      if (!e.bytes.empty() && !WriteAll(e.bytes.data(), e.bytes.size())) return;
      t = NowNs();
    } else {
      // Deadlines from the start of the emission, so sleep overshoot never
      // accumulates: byte k is on the line once k + 1 byte times have passed.
      std::size_t sent = 0;
      while (sent < e.bytes.size()) {
        const std::int64_t now = NowNs();
        const std::int64_t due = std::min<std::int64_t>(
            static_cast<std::int64_t>(e.bytes.size()), std::max<std::int64_t>(0, (now - t) / per_byte));
        if (static_cast<std::size_t>(due) > sent) {
          if (!WriteAll(e.bytes.data() + sent, static_cast<std::size_t>(due) - sent)) return;
          sent = static_cast<std::size_t>(due);
        } else if (!Pause(t + static_cast<std::int64_t>(sent + 1) * per_byte)) {
          return;
        }
      }
      t += static_cast<std::int64_t>(e.bytes.size()) * per_byte;
    }
    if (e.hangup) {
      // A pty drops what the slave has not read yet when the master closes;
      // a printer's last bytes would still be in the host's UART, so give
      // the host time to take them.
      if (wrote && !Pause(NowNs() + 100'000'000)) return;
      CloseMaster();
      serving_ = false;
      return;
    }
  }
  line_free_ns_ = t;
}

bool PtyPrinter::HostAtOurSpeed() const {
  const speed_t ours = ClassicSpeed(options_.baud);
  if (ours == 0) return true;
  // The master reads the settings the host gave the slave.
  termios tio{};
  if (tcgetattr(master_, &tio) != 0) return true;
  return cfgetospeed(&tio) == ours;
}

void PtyPrinter::Serve() {
  std::array<std::uint8_t, 512> buffer{};
  std::int64_t request_start = -1;
  while (master_ >= 0) {
    std::array<pollfd, 2> fds{{{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}}};
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents != 0) break;
    if ((fds[0].revents & POLLIN) == 0) {
      // No one has the slave open (POLLHUP): wait for a host to come.
      if (!Pause(NowNs() + 5'000'000)) break;
      continue;
    }
    const ssize_t n = ::read(master_, buffer.data(), buffer.size());
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      if (!Pause(NowNs() + 5'000'000)) break;
      continue;
    }
    line_bytes_ += static_cast<std::uint64_t>(n);
    if (!HostAtOurSpeed()) continue;  // garbage on a real line: no frame in it
    const std::int64_t now = NowNs();
    if (first_byte_ns_ == 0) last_byte_ns_ = first_byte_ns_ = now;
    if (request_start < 0) request_start = now;
    std::vector<Answer> answers = simulator_.Receive(std::span(buffer.data(), static_cast<std::size_t>(n)));
    for (const Answer& answer : answers) {
      flash_answer_ = answer.command == kFlashReadCommand;
      if (flash_answer_) {
        if (flash_first_ns_ == 0) flash_first_ns_ = request_start;
        std::uint64_t bytes = answer.request_length;
        for (const Emission& e : answer.emissions) bytes += e.bytes.size();
        flash_bytes_ += bytes;
      }
      Play(answer, request_start);
      if (master_ < 0) return;
    }
    if (!answers.empty()) request_start = -1;
  }
}

}  // namespace fjl::sim

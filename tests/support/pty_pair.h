#pragma once
// A pseudo-terminal for tests: the master end plays the device, the slave
// path is the "serial port" the code under test opens. The fixture keeps one
// slave descriptor of its own so the slave's settings can be inspected and
// the pair stays alive while the code under test opens and closes the port.
// Every descriptor it opens it closes.
//
// Needs libutil (openpty).

#include <fcntl.h>
#include <sys/ioctl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace fjl::test {

class PtyPair {
 public:
  PtyPair() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    slave_path_ = name;
  }
  ~PtyPair() {
    CloseMaster();
    CloseSlave();
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& SlavePath() const { return slave_path_; }
  int MasterFd() const { return master_; }
  int SlaveFd() const { return slave_; }

  // The slave's settings as the code under test left them.
  termios SlaveSettings() const {
    termios settings{};
    ::tcgetattr(slave_, &settings);
    return settings;
  }

  // The device sends bytes to the port.
  bool DeviceWrite(const std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t put = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (put > 0) {
        done += static_cast<std::size_t>(put);
      } else if (!(put < 0 && errno == EINTR)) {
        return false;
      }
    }
    return true;
  }
  bool DeviceWrite(const std::string& text) const {
    return DeviceWrite(std::vector<std::uint8_t>(text.begin(), text.end()));
  }

  // The device reads what the port sent: up to `max` bytes, waiting at most
  // `timeout` for each next byte.
  std::vector<std::uint8_t> DeviceRead(std::size_t max,
                                       std::chrono::milliseconds timeout = std::chrono::milliseconds(500)) const {
    std::vector<std::uint8_t> got;
    while (got.size() < max) {
      pollfd watch{master_, POLLIN, 0};
      if (::poll(&watch, 1, static_cast<int>(timeout.count())) <= 0 || (watch.revents & POLLIN) == 0) break;
      std::uint8_t chunk[512];
      const std::size_t want = max - got.size() < sizeof chunk ? max - got.size() : sizeof chunk;
      const ssize_t n = ::read(master_, chunk, want);
      if (n <= 0) break;
      got.insert(got.end(), chunk, chunk + n);
    }
    return got;
  }

  // Waits until bytes the device sent have reached the slave's input queue.
  bool WaitSlaveReadable(std::chrono::milliseconds timeout = std::chrono::milliseconds(1000)) const {
    pollfd watch{slave_, POLLIN, 0};
    return ::poll(&watch, 1, static_cast<int>(timeout.count())) > 0 && (watch.revents & POLLIN) != 0;
  }

  // Waits until all of the `count` bytes the device sent are queued on the
  // slave: a pty may hand over the first before the rest.
  bool WaitSlaveHolds(std::size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(1000)) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      int queued = 0;
      if (::ioctl(slave_, FIONREAD, &queued) == 0 && queued >= static_cast<int>(count)) return true;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      const timespec tick{0, 1'000'000};
      ::nanosleep(&tick, nullptr);
    }
  }

  // The device goes away (a pulled adapter).
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  void CloseSlave() {
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slave_path_;
};

}  // namespace fjl::test

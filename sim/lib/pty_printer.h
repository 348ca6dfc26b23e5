#pragma once
// The simulator on the master side of a pseudo-terminal, served by its own
// thread: open the slave path like any serial port. A pty passes bytes at
// once whatever speed is set, so with a baud rate the server gives every
// byte its wire time itself (10 bits a byte), and waits for the request's
// own wire time before it answers. Like a real printer's UART, it hears
// nothing but noise from a host set to another speed: with a baud rate, the
// bytes of a host whose line is set to another (classic) speed are dropped.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "sim/lib/simulator.h"

namespace fjl::sim {

struct PtyPrinterOptions {
  std::int64_t baud = 0;  // 0: no pacing
};

class PtyPrinter {
 public:
  // Opens the pty and starts serving. Throws std::system_error when no pty
  // can be had. `simulator` must outlive this object.
  explicit PtyPrinter(Simulator& simulator, PtyPrinterOptions options = {});
  ~PtyPrinter();
  PtyPrinter(const PtyPrinter&) = delete;
  PtyPrinter& operator=(const PtyPrinter&) = delete;

  // The slave device, e.g. /dev/pts/5.
  const std::string& SlavePath() const { return slave_path_; }

  // Stops serving and closes the pty; waits for the thread. Idempotent.
  void Stop();
  // False once stopped, or once a hang-up fault closed the line.
  bool Serving() const { return serving_.load(); }
  // Bytes that crossed the line so far, both ways: the host's requests as
  // read and the printer's replies as written.
  std::uint64_t LineBytes() const { return line_bytes_.load(); }
  // Nanoseconds from the first byte read to the last byte written; 0 before
  // the first reply.
  std::int64_t LineBusyNs() const { return last_byte_ns_.load() - first_byte_ns_.load(); }
  // The same for the flash reads (command 241) alone: the downloads of the
  // tape and the auxiliary area, from the first request's first byte to the
  // last reply's last byte.
  std::uint64_t FlashBytes() const { return flash_bytes_.load(); }
  std::int64_t FlashBusyNs() const { return flash_last_ns_.load() - flash_first_ns_.load(); }

 private:
  bool HostAtOurSpeed() const;
  void Serve();
  void Play(const Answer& answer, std::int64_t request_start_ns);
  bool Pause(std::int64_t until_ns);  // false when asked to stop
  bool WriteAll(const std::uint8_t* data, std::size_t size);
  void CloseMaster();

  Simulator& simulator_;
  PtyPrinterOptions options_;
  int master_ = -1;
  int wake_[2] = {-1, -1};
  std::string slave_path_;
  std::atomic<bool> serving_{false};
  std::atomic<std::uint64_t> line_bytes_{0};
  std::atomic<std::int64_t> first_byte_ns_{0};
  std::atomic<std::int64_t> last_byte_ns_{0};
  std::atomic<std::uint64_t> flash_bytes_{0};
  std::atomic<std::int64_t> flash_first_ns_{0};
  std::atomic<std::int64_t> flash_last_ns_{0};
  bool flash_answer_ = false;  // the answer being played is a flash read's
  std::int64_t line_free_ns_ = 0;
  std::thread thread_;
};

}  // namespace fjl::sim

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
  std::int64_t line_free_ns_ = 0;
  std::thread thread_;
};

}  // namespace fjl::sim

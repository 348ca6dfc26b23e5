#pragma once
// The tty steps shared by the printer link's channel and the port component:
// exclusive opening, raw mode, line speed and the 100 ms style waits.

#include <termios.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/system_result.h"

namespace fjl::serial::tty {

// An open port and the settings it had before we touched it.
struct ExclusivePort {
  int fd = -1;
  termios original{};
};

// Opens `path` for reading and writing as nobody else's port: the open
// refuses a port another process (or this one) holds. The descriptor stays
// non-blocking: every read follows a poll(), and a byte taken by someone
// else in between must give EAGAIN, not a read() that never returns.
// A port another holder has is refused as Busy.
platform::Result<ExclusivePort> OpenExclusive(const std::string& path);

// Puts the port's own settings back, releases the exclusive claim and
// closes: the next program (or the user's terminal) finds the port as it
// was. The failure of close(), if it failed.
platform::SystemResult CloseExclusive(const ExclusivePort& port);

// Writes all of `bytes` to a non-blocking descriptor, waiting for room as
// long as `deadline` allows; ETIMEDOUT when it does not.
platform::SystemResult WriteAll(int fd, std::span<const std::uint8_t> bytes, std::size_t& written,
             std::chrono::steady_clock::time_point deadline);

// A Windows COM port has no line discipline: no echo, no canonical input,
// no CR/LF translation, no signals and no XON/XOFF swallowing of status bytes.
// Hardware flow control stays as the port has it; the modem's carrier line is
// ignored, as a COM port ignores it.
void MakeRaw(termios& settings);

// Sets the character size, no parity, one stop bit.
void SetEightNoneOne(termios& settings);

// The termios constant of one of the classic speeds (110 ... 115200), or
// false when termios has none for it.
bool StandardSpeed(std::uint32_t bits_per_second, speed_t& constant);

// Writes `settings` and then the speed: a classic speed goes into the termios
// record, any other positive speed through the arbitrary-rate interface.
platform::SystemResult ApplySettings(int fd, termios settings, std::uint32_t bits_per_second);

// Waits until `fd` is readable, the far end hangs up, or the deadline passes.
enum class WaitOutcome { Readable, TimedOut, HungUp };
platform::Result<WaitOutcome> WaitReadable(int fd, std::chrono::steady_clock::time_point deadline);

// Sleeps out the rest of a read's window, so that a caller polling a dead
// port does not spin.
void SleepUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace fjl::serial::tty

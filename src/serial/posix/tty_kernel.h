#pragma once
// What the kernel's tty driver offers beyond POSIX termios: speeds that
// <termios.h> has no constant for (256000, 56000, ...) and mark parity. Each
// kernel answers them its own way (tty_kernel_linux.cpp: termios2 and
// CMSPAR); another POSIX system brings a file of its own. Linux's termios2
// clashes with <termios.h>, so this header includes neither.

#include <cstdint>

#include "platform/system_result.h"

namespace fjl::serial {

// Sets both directions of the tty `fd` to `bits_per_second`, leaving every
// other setting alone.
platform::SystemResult SetArbitraryLineSpeed(int fd, std::uint32_t bits_per_second);

// The output speed the driver holds now, in bits per second.
platform::SystemResult ReadLineSpeed(int fd, std::uint32_t& bits_per_second);

// The c_cflag bit that makes the parity bit constant (odd parity becomes
// mark, even becomes space), or 0 where the kernel has none.
unsigned int StickParityFlag();

}  // namespace fjl::serial

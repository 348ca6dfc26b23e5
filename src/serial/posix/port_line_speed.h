#pragma once
// Line speeds that <termios.h> has no constant for (256000, 56000, ...) go
// through the kernel's arbitrary-rate interface. Its structures clash with
// <termios.h>, so the implementation lives in a translation unit of its own
// and this header includes neither.

#include <cstdint>

namespace fjl::link {

// Sets both directions of the tty `fd` to `bits_per_second`, leaving every
// other setting alone. 0, or the errno of the failed call.
int SetArbitraryLineSpeed(int fd, std::uint32_t bits_per_second);

// The output speed the driver holds now, in bits per second. 0 or errno.
int ReadLineSpeed(int fd, std::uint32_t& bits_per_second);

}  // namespace fjl::link

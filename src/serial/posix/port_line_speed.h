#pragma once
// Line speeds that <termios.h> has no constant for (256000, 56000, ...) go
// through the kernel's arbitrary-rate interface. Its structures clash with
// <termios.h>, so the implementation lives in a translation unit of its own
// and this header includes neither.

#include <cstdint>

#include "platform/system_result.h"

namespace fjl::link {

// Sets both directions of the tty `fd` to `bits_per_second`, leaving every
// other setting alone.
platform::SystemResult SetArbitraryLineSpeed(int fd, std::uint32_t bits_per_second);

// The output speed the driver holds now, in bits per second.
platform::SystemResult ReadLineSpeed(int fd, std::uint32_t& bits_per_second);

}  // namespace fjl::link

#pragma once
// The POSIX serial port: a tty device or a pseudo-terminal.

#include <cstdint>
#include <memory>
#include <string>

#include "serial/serial_channel.h"

namespace fjl::serial {

// Opens `path` exclusively, raw 8N1 at `speed`, reads returning after at most
// 100 ms, both queues purged.
OpenedChannel OpenPosixSerialChannel(const std::string& path, std::int32_t speed);

}  // namespace fjl::serial

#pragma once
// What the printer puts on the line in answer to one request, with the
// pauses that belong to it. The transports (in-process channel, pty server)
// play it out; pacing at a line speed is theirs to add.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/lib/frames.h"

namespace fjl::sim {

struct Emission {
  std::chrono::microseconds pause{0};  // silence before these bytes
  Bytes bytes;
  bool hangup = false;  // the line closes after the bytes
};

struct Answer {
  std::size_t request_length = 0;  // bytes of the request frame that caused it
  int command = -1;                 // its command; -1 when it was no whole frame
  std::vector<Emission> emissions;  // empty: the printer stays silent
};

// Time on the wire of `bytes` at `baud` (10 bits a byte: start, 8 data, stop).
// Zero when baud is 0 (no pacing).
inline std::chrono::nanoseconds WireTime(std::size_t bytes, std::int64_t baud) {
  if (baud <= 0) return std::chrono::nanoseconds(0);
  return std::chrono::nanoseconds(static_cast<std::int64_t>(bytes) * 10 * 1'000'000'000 / baud);
}

}  // namespace fjl::sim

#pragma once
// The line speeds the printer's port is driven at: the step 1 list, the
// command line's --speed, and what a dump folder may record.

#include <algorithm>
#include <array>
#include <cstdint>

namespace fjl::link {

inline constexpr std::array<std::int32_t, 11> kLineSpeeds = {110,  300,   600,   1200,  2400, 4800,
                                                              9600, 19200, 38400, 57600, 115200};

constexpr bool IsLineSpeed(std::int32_t speed) {
  return std::find(kLineSpeeds.begin(), kLineSpeeds.end(), speed) != kLineSpeeds.end();
}

}  // namespace fjl::link

#include "port/port_types.h"

namespace fjl::port {

std::uint32_t BitsPerSecond(speed value) {
  static constexpr std::uint32_t kRates[] = {256000, 128000, 115200, 57600, 56000, 38400, 19200, 11400,
                                             9600,   4800,   2400,   1200,  600,   300,   110};
  return kRates[static_cast<std::size_t>(value)];
}

std::uint8_t DataBitCount(databit value) { return static_cast<std::uint8_t>(5 + static_cast<int>(value)); }

std::uint8_t ParityCode(parity value) {
  static constexpr std::uint8_t kCodes[] = {0, 2, 3, 1};
  return kCodes[static_cast<std::size_t>(value)];
}

std::uint8_t StopBitsCode(stopbits value) { return static_cast<std::uint8_t>(value); }

}  // namespace fjl::port

#pragma once
// The serial port component's property types: the time-out record and the
// enumerated line settings. Value names and their order are fixed: callers
// store and compare the enumerators by their numbers.

#include <array>
#include <cstdint>
#include <string_view>

namespace fjl::port {

// Milliseconds, in the field order of the platform's time-out record.
struct T1CommTimeouts {
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 1000;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;

  friend bool operator==(const T1CommTimeouts&, const T1CommTimeouts&) = default;
};

// "No limit" and the special read modes of the time-out record use this value.
inline constexpr std::uint32_t kTimeoutMax = 0xFFFFFFFFu;

enum class speed : std::uint8_t {
  S256000, S128000, S115200, S057600, S056000, S038400, S019200,
  // 11400, not 14400: the component's rate table names this odd rate, and
  // a caller that picks it must get exactly it.
  S011400,
  S009600, S004800, S002400, S001200, S000600, S000300, S000110,
};
enum class databit : std::uint8_t { Bits5, Bits6, Bits7, Bits8 };
enum class parity : std::uint8_t { NO, EVEN, MARK, ODD };
enum class stopbits : std::uint8_t { ONE, ONE5, TWO };
enum class dtrcontrol : std::uint8_t { DTR_DISABLE, DTR_ENABLE, DTR_HANDSHAKE };
enum class rtscontrol : std::uint8_t { RTS_DISABLE, RTS_ENABLE, RTS_HANDSHAKE };

inline constexpr std::array<std::string_view, 15> kSpeedNames = {
    "S256000", "S128000", "S115200", "S057600", "S056000", "S038400", "S019200", "S011400",
    "S009600", "S004800", "S002400", "S001200", "S000600", "S000300", "S000110"};
inline constexpr std::array<std::string_view, 4> kDataBitNames = {"Bits5", "Bits6", "Bits7", "Bits8"};
inline constexpr std::array<std::string_view, 4> kParityNames = {"NO", "EVEN", "MARK", "ODD"};
inline constexpr std::array<std::string_view, 3> kStopBitNames = {"ONE", "ONE5", "TWO"};
inline constexpr std::array<std::string_view, 3> kDtrControlNames = {"DTR_DISABLE", "DTR_ENABLE", "DTR_HANDSHAKE"};
inline constexpr std::array<std::string_view, 3> kRtsControlNames = {"RTS_DISABLE", "RTS_ENABLE", "RTS_HANDSHAKE"};

// The value each enumerator writes into the line settings.
std::uint32_t BitsPerSecond(speed value);
std::uint8_t DataBitCount(databit value);
std::uint8_t ParityCode(parity value);      // 0 none, 1 odd, 2 even, 3 mark
std::uint8_t StopBitsCode(stopbits value);  // 0 one, 1 one and a half, 2 two

// Modem-line functions passed to EscapeCommFunction.
inline constexpr std::uint32_t kSetXoff = 1;
inline constexpr std::uint32_t kSetXon = 2;
inline constexpr std::uint32_t kSetRts = 3;
inline constexpr std::uint32_t kClrRts = 4;
inline constexpr std::uint32_t kSetDtr = 5;
inline constexpr std::uint32_t kClrDtr = 6;
inline constexpr std::uint32_t kResetDev = 7;
inline constexpr std::uint32_t kSetBreak = 8;
inline constexpr std::uint32_t kClrBreak = 9;

// Purge flags passed to ClearBuffers and used by the component itself.
inline constexpr std::uint32_t kPurgeTxAbort = 0x1;
inline constexpr std::uint32_t kPurgeRxAbort = 0x2;
inline constexpr std::uint32_t kPurgeTxClear = 0x4;
inline constexpr std::uint32_t kPurgeRxClear = 0x8;
inline constexpr std::uint32_t kPurgeAll = kPurgeTxAbort | kPurgeRxAbort | kPurgeTxClear | kPurgeRxClear;

// The line settings the component writes; everything else stays as the port has it.
struct LineSettings {
  std::uint32_t bits_per_second = 9600;
  databit data_bits = databit::Bits8;
  parity parity_mode = parity::NO;
  stopbits stop_bits = stopbits::ONE;
  dtrcontrol dtr = dtrcontrol::DTR_HANDSHAKE;
  rtscontrol rts = rtscontrol::RTS_HANDSHAKE;

  friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

}  // namespace fjl::port

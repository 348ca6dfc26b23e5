#pragma once
// The printer's answer to one well-formed request, before any fault or
// framing: an error code and the reply fields.
//
// Error codes used (sub-code first, then class, as the printer sends them):
//   "0002"  no command with this code
//   "0202"  a parameter is missing
//   "0106"  wrong password (field 1)
//   "0203"  field 2 is not a number
//   "0204"  field 2 out of range: unknown operator, payment form, department
//           or tax group, or a flash address outside both areas

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/lib/printer_model.h"

namespace fjl::sim {

inline constexpr int kFlashReadCommand = 0xF1;
inline constexpr int kPaymentCommand = 0x2E;
inline constexpr int kOperatorCommand = 0x30;
inline constexpr int kDepartmentCommand = 0x33;
inline constexpr int kSerialCommand = 0x42;
inline constexpr int kFiscalCommand = 0x44;
inline constexpr int kTaxIdCommand = 0x46;
inline constexpr int kTaxRateCommand = 0x48;

inline constexpr const char* kErrUnknownCommand = "0002";
inline constexpr const char* kErrMissingParameter = "0202";
inline constexpr const char* kErrWrongPassword = "0106";
inline constexpr const char* kErrNotANumber = "0203";
inline constexpr const char* kErrOutOfRange = "0204";

// A flash reply is "n;HEX;": its data part is 2n + 2 + digits(n) bytes and
// must fit the 207 a reply can carry, so one reply holds at most 100 bytes.
inline constexpr std::size_t kMaxFlashChunk = 100;

struct CommandAnswer {
  std::string error_code = "0000";
  std::vector<std::string> fields;
};

// `chunk` is the flash bytes per reply, clamped to 1..kMaxFlashChunk.
CommandAnswer AnswerCommand(const PrinterModel& model, std::size_t chunk, std::uint8_t command,
                            std::string_view data);

// The parameters of a data text: each one followed by ';'. A last parameter
// without its ';' still counts.
std::vector<std::string> SplitParameters(std::string_view data);

// Upper-case hexadecimal, two characters a byte.
std::string HexText(const Bytes& bytes);

}  // namespace fjl::sim

#pragma once
// Turns the printer's error code of a reply into the message the user sees.

#include <string>
#include <string_view>

#include "link/device_response.h"

namespace fjl::link {

// What a read says instead of "Таймаут устройства" when the port itself went
// away: waiting longer or checking the printer would not help, the cable would.
inline constexpr std::string_view kMsgLineGone = "Связь с регистратором потеряна: порт отключен!";

// True when the command succeeded ("0000" and a reply that came); `message`
// is then empty. False otherwise, with the Russian message (UTF-8) in
// `message`, or an empty text for codes that have none.
//
// An ErrorCode that is not four upper-case hexadecimal digits (lower-case
// letters, blanks, a short or empty code) cannot be read as a code: it is a
// failure without a message, never a success. A NAK or a reply whose checksum
// failed is a failure without a message as well, whatever code it carries: its
// data cannot be trusted.
bool DeviceErrorMessage(const DeviceResponse& reply, std::string& message);

}  // namespace fjl::link

#pragma once
// A document's date and time as the tape holds them: text as read, and a
// calendar value only where every byte is valid BCD and in range.

#include <optional>
#include <string>

#include "restore/decoded_records.h"

namespace fjl::tapedata {

// "DD/MM/YY  hh:mm", each byte as two hexadecimal digits, as the tape text
// shows it: a byte that is not BCD stays visible as it stands ("1A").
std::string StampText(const restore::StampBytes& when);

// "20YY-MM-DDThh:mm", or nothing when a byte is not BCD or the date or time
// is out of range (the month 13, the 31st of April, 24:00).
std::optional<std::string> StampIso(const restore::StampBytes& when);

}  // namespace fjl::tapedata

#pragma once
// A document's date and time as the tape holds them: text as read, and a
// calendar value only where every byte is valid BCD and in range. The
// Append forms write into the caller's buffer: the exports write thousands
// of stamps and make no string of their own for any.

#include <optional>
#include <string>

#include "restore/decoded_records.h"

namespace fjl::tapedata {

// "DD/MM/YY  hh:mm", each byte as two hexadecimal digits, as the tape text
// shows it: a byte that is not BCD stays visible as it stands ("1A").
inline constexpr std::size_t kStampTextSize = 15;
void WriteStampText(char* out, const restore::StampBytes& when);  // kStampTextSize bytes
void AppendStampText(std::string& out, const restore::StampBytes& when);
std::string StampText(const restore::StampBytes& when);

// Whether every byte is BCD and the date and time exist: not the month 13,
// the 31st of April or 24:00.
bool StampIsValid(const restore::StampBytes& when);

// "20YY-MM-DDThh:mm" of a stamp StampIsValid accepts.
inline constexpr std::size_t kStampIsoSize = 16;
void WriteStampIso(char* out, const restore::StampBytes& when);  // kStampIsoSize bytes
void AppendStampIso(std::string& out, const restore::StampBytes& when);

// "20YY-MM-DDThh:mm", or nothing when the stamp is not valid.
std::optional<std::string> StampIso(const restore::StampBytes& when);

// The stamp as one number that orders stamps in time (YYMMDDhhmm), for a
// valid stamp only.
std::int64_t StampOrder(const restore::StampBytes& when);

}  // namespace fjl::tapedata

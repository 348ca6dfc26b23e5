#pragma once
// One decoder per tape record type. Each is given its record's bytes, appends
// the record's lines and answers whether the run goes on.

#include <cstdint>
#include <string>
#include <string_view>

#include "restore/record_fields.h"
#include "restore/restore_run.h"
#include "tape/record_types.h"

namespace fjl::restore {

using RecordDecoder = Verdict (*)(RestoreRun& run, const TapeRecord& record);

// The decoder of one record type. Each decoder file defines the
// specialisation for the types it decodes; DecoderFor finds them through the
// record type table, so a type listed there without a decoder fails to link.
template <tape::TapeRecordType Type>
Verdict DecodeRecord(RestoreRun& run, const TapeRecord& record);

// The decoder of a type, or null for a type the table does not list (13, 21
// to 255).
RecordDecoder DecoderFor(std::uint8_t type);

// "     Сквозной номер документа=N, DD/MM/YY  hh:mm" from the document number
// at `number_offset` and the five date and time bytes from `date_offset`.
std::string DocumentLine(const TapeRecord& record, std::size_t number_offset, std::size_t date_offset);
// The same number and date bytes as a value.
DocumentStamp StampOf(const TapeRecord& record, std::size_t number_offset, std::size_t date_offset);

// Article names and comment texts as the printer's own fields hold them: at
// most 79 and 39 bytes, ending at the first NUL.
inline constexpr std::size_t kMaxItemName = 79;
inline constexpr std::size_t kMaxCommentText = 39;
std::string StoredText(std::string_view bytes, std::size_t max_length);

inline const std::string kSeparatorLine(50, '=');
inline const std::string kBlankLine = " ";

}  // namespace fjl::restore

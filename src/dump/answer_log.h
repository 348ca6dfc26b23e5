#pragma once
// The printer's answers to a restoration, kept as text: one line per
// exchange with the command, the status word, the data sent and the raw
// reply. Bytes of 0x80 and above are written as the Windows-1251 letters
// they are (UTF-8 in the file), control bytes, '"' and '\' as escapes, so
// the file reads like the printer's texts and still gives back every byte.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_result.h"

namespace fjl::dump {

struct RecordedAnswer {
  std::int32_t command = 0;
  std::uint32_t status = 0;  // the link's status word after the exchange
  std::string data;          // the data text sent (Windows-1251 bytes)
  std::string raw_reply;     // every byte received but SYN
  friend bool operator==(const RecordedAnswer&, const RecordedAnswer&) = default;
};

// The first line of every answers file.
inline constexpr std::string_view kAnswersHeader =
    "# fjl-restore: printer answers (command, status word, data sent, raw reply)";

// One line, without its line feed.
std::string FormatAnswer(const RecordedAnswer& answer);

// Every answer of a file's text; a program failure naming the line when a
// line is not one FormatAnswer writes. Lines starting with '#' and empty
// lines are skipped.
platform::Result<std::vector<RecordedAnswer>> ParseAnswers(std::string_view text);

// A text as it stands in a line: quoted, escaped.
std::string QuoteBytes(std::string_view bytes);

}  // namespace fjl::dump

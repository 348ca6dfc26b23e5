#pragma once
// A CSV reader for the tests, apart from the writer it checks: RFC 4180 with
// the separator given, rows ending in CR LF, a quoted field running on over
// separators, quotes doubled and line breaks. A text it could not have come
// from a careful writer (a bare quote in an unquoted field, a row cut off,
// a lone CR) throws std::runtime_error.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fjl::tapedata::testing {

using CsvRow = std::vector<std::string>;

inline std::vector<CsvRow> ReadCsv(std::string_view text, char separator) {
  std::vector<CsvRow> rows;
  CsvRow row;
  std::string field;
  std::size_t at = 0;
  const auto fail = [&at](const char* why) {
    throw std::runtime_error("CSV at offset " + std::to_string(at) + ": " + why);
  };
  while (at < text.size()) {
    // One field, then its separator or the row's end.
    if (text[at] == '"') {
      ++at;
      for (;;) {
        if (at >= text.size()) fail("an unterminated quoted field");
        if (text[at] == '"') {
          if (at + 1 < text.size() && text[at + 1] == '"') {
            field += '"';
            at += 2;
            continue;
          }
          ++at;
          break;
        }
        field += text[at++];
      }
    } else {
      while (at < text.size() && text[at] != separator && text[at] != '\r' && text[at] != '\n') {
        if (text[at] == '"') fail("a quote inside an unquoted field");
        field += text[at++];
      }
    }
    row.push_back(std::move(field));
    field.clear();
    if (at >= text.size()) fail("a row without its CR LF");
    if (text[at] == separator) {
      ++at;
      if (at >= text.size()) fail("a row without its CR LF");
      continue;
    }
    if (text.substr(at, 2) != "\r\n") fail("a line end that is not CR LF");
    at += 2;
    rows.push_back(std::move(row));
    row.clear();
  }
  return rows;
}

}  // namespace fjl::tapedata::testing

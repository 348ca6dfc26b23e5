#pragma once
// The tape model as three spreadsheet tables: the documents, their items and
// their payments, one row each, linked by the document's tape position.
//
// Made for a spreadsheet in a Russian locale: UTF-8 with a byte order mark
// (without it Excel takes the bytes for Windows-1251), ";" between fields
// (Excel's list separator where "," is the decimal mark), amounts and
// quantities as decimals with "," ("19,99", "1,500"), so they arrive as
// numbers, and CR LF after every row. A field holding ";", a quote, CR or
// LF is quoted as RFC 4180 says, its quotes doubled. A text field opening
// with "=", "+", "-" or "@" gets an apostrophe in front, so that a
// spreadsheet shows it as text instead of running it as a formula.

#include <string>
#include <string_view>

#include "tapedata/tape_model.h"

namespace fjl::tapedata {

inline constexpr std::string_view kCsvDocumentsFile = "documents.csv";
inline constexpr std::string_view kCsvItemsFile = "items.csv";
inline constexpr std::string_view kCsvPaymentsFile = "payments.csv";

struct TapeCsv {
  std::string documents;
  std::string items;
  std::string payments;
};

TapeCsv TapeCsvTables(const TapeModel& model);

// One CSV text field as written: quoted when it holds ";", '"', CR or LF,
// after an apostrophe when it opens like a formula.
std::string CsvField(std::string_view text);

}  // namespace fjl::tapedata

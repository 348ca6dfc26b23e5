#pragma once
// The integrity check as the user reads it: the whole report as Russian
// text or as JSON, and the one-line summary the CLI ends a run with.

#include <string>
#include <string_view>

#include "tapecheck/tape_check.h"

namespace fjl::tapecheck {

inline constexpr int kReportFormatVersion = 1;

// Every finding on a line of its own with its rule, then the rules checked.
// UTF-8, "\n" line ends.
std::string ReportText(const TapeCheck& check);

// The same as one JSON document (UTF-8).
std::string ReportJson(const TapeCheck& check);

// Whether --report FILE asks for JSON: a name ending in ".json", any case.
bool ReportWantsJson(std::string_view file);

// What --report FILE writes: the JSON when the name asks for it, else the
// text as a Windows editor reads it whatever its age: UTF-8 after a byte
// order mark (without one, Notepad before Windows 10 takes the bytes for
// Windows-1251), CR LF line ends.
std::string ReportFileBytes(const TapeCheck& check, std::string_view file);

// One line: "замечаний нет" with the documents' numbers and dates for a
// clean tape, else the count of each rule's findings; then where the whole
// report went (`report_file`), or for findings, how to ask for it.
std::string SummaryLine(const TapeCheck& check, std::string_view report_file);

// The words of one finding, without its rule ("пропущен сквозной номер 103").
void AppendFindingText(std::string& out, const Finding& finding);

}  // namespace fjl::tapecheck

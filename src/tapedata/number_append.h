#pragma once
// Numbers written straight into an export's buffer, without a string of
// their own and without the process locale.

#include <cstdint>
#include <string>

namespace fjl::tapedata {

void AppendInteger(std::string& out, std::int64_t value);
void AppendUnsigned(std::string& out, std::uint64_t value);

// `value` in units of 10^-digits with `point` as the decimal mark, a digit
// always before it: (1999, 2, ',') "19,99", (-5, 2, ',') "-0,05",
// (1500, 3, ',') "1,500", (0, 2, ',') "0,00". A spreadsheet reads it as a
// number, unlike the tape text's "-.05".
void AppendDecimalFraction(std::string& out, std::int64_t value, int digits, char point);

}  // namespace fjl::tapedata

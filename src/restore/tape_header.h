#pragma once
// The head of the restored tape: the printer's identity and its tax rates.

#include "restore/restore_run.h"

namespace fjl::restore {

// Writes the header lines. Answers StopRun (its message shown) when one of
// the identity reads fails; a failed tax rate read only leaves out its line.
Verdict WriteTapeHeader(RestoreRun& run);

// The text of a tax type code: its name for 0..7, its decimal number otherwise.
std::string TaxTypeName(std::int64_t code);

}  // namespace fjl::restore

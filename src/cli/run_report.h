#pragma once
// The CLI's own words for what the wizard shows only as a fixed message: why
// a port could not be opened, and what a written file may lack.

#include <string>
#include <vector>

#include "restore/restoration_state.h"
#include "tape/flash_image.h"

namespace fjl::cli {

// The second line under "Невозможно подключить порт": the reason for the
// system error `error` (errno), in Russian, with what to do where there is
// something to do.
std::string PortOpenReason(int error);

// Said once when the session log stops taking entries: `error` is the
// system's code of the write that failed.
std::string LogIncompleteText(const std::string& log, int error);

// Everything the saved tape may lack; empty when it is complete.
std::vector<std::string> IncompleteReasons(const tape::TapeData& tape, const restore::RestorationState& state);

// The closing line for exit status 3: the reasons, one after another.
std::string IncompleteReport(const std::vector<std::string>& reasons);

}  // namespace fjl::cli

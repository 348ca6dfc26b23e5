#pragma once
// The CLI's own words for what the wizard shows only as a fixed message: why
// a port could not be opened, and what a written file may lack.

#include <string>
#include <vector>

#include "cli/catalogue.h"
#include "cli/cli_options.h"
#include "cli/signal_stop.h"
#include "platform/system_result.h"
#include "restore/restoration_state.h"
#include "tape/flash_image.h"

namespace fjl::cli {

// The second line under "Невозможно подключить порт": the reason the port
// would not open, with what to do on this system where there is something
// to do.
std::string PortOpenReason(const platform::SystemResult& why, const Catalogue& texts);

// Said once when the session log stops taking entries: `error` is the
// failure of the write.
std::string LogIncompleteText(const std::string& log, const platform::SystemResult& why, const Catalogue& texts);

// Everything the saved tape may lack; empty when it is complete.
std::vector<std::string> IncompleteReasons(const tape::TapeData& tape, const restore::RestorationState& state,
                                           const Catalogue& texts);

// The closing line for exit status 3: the reasons, one after another.
std::string IncompleteReport(const std::vector<std::string>& reasons, const Catalogue& texts);

// How `stop` is named on the closing line ("SIGINT", "закрытие окна").
std::string StopName(const RunStop& stop, const Catalogue& texts);

// The command that goes on with a download this run kept and did not
// finish: --resume `resume` (the dump folder, or auto for the user's folder
// of kept downloads) on `port`, into the same FJL file, with the run's
// password, log and --verbose; each argument quoted for the user's shell.
std::string GoOnCommand(const RestoreOptions& options, const std::string& port, const std::string& resume);

}  // namespace fjl::cli

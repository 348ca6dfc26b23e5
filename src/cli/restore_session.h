#pragma once
// The three steps of the wizard in one go: connect, download the control
// tape, download the auxiliary data, restore, save.

#include <filesystem>

#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/signal_stop.h"
#include "link/device_link.h"

namespace fjl::cli {

// Runs every step on `link` (closed again at the end), showing the
// messages the wizard would show on `console`. The files are checked before
// the port is opened; the FJL file is written only after a completed
// restoration, and the dumps right after their download, whatever its outcome.
// `stop` (may be null) is polled at every safe point; a stopped run closes
// the port, leaves the FJL file as it was and answers the stop's status.
// `kept_root` is the user's folder of kept downloads (see
// dump::KeptDownloadsRoot): a run that names no dump folder keeps its
// download there, and --resume auto looks there; empty keeps nothing.
// A download kept and cut short by a stop or a line that stopped answering
// ends with the command that goes on with it.
ExitStatus RunRestoreSession(const RestoreOptions& options, link::DeviceLink& link, Console& console,
                             const RunStop* stop = nullptr, const std::filesystem::path& kept_root = {});

}  // namespace fjl::cli

#pragma once
// The three steps of the wizard in one go: connect, download the control
// tape, download the auxiliary data, restore, save.

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
ExitStatus RunRestoreSession(const RestoreOptions& options, link::DeviceLink& link, Console& console,
                             const RunStop* stop = nullptr);

}  // namespace fjl::cli

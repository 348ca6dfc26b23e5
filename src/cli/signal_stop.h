#pragma once
// Stopping a CLI run from outside: Ctrl-C, a closed terminal, a service
// manager's stop. The run polls the request at its safe points (before each
// exchange, each record, each block of the file), so a stop never leaves a
// temporary file or an open port behind, and the earlier FJL file stays.

#include <string_view>

#include "cli/exit_status.h"
#include "user/stop_signal.h"

namespace fjl::cli {

// A stop request that also says how the stopped run exits.
class RunStop : public StopSignal {
 public:
  virtual ExitStatus StoppedStatus() const = 0;
  // The request's name for the closing line: "SIGINT", "Ctrl-C", or a word
  // the catalogue gives in the user's language as stop.by.NAME ("close").
  virtual std::string_view StoppedBy() const = 0;
};

// SIGINT, SIGTERM and SIGHUP, caught for as long as the object lives (one at
// a time; the earlier handlers come back after it). The handler only notes
// the first signal; a second one ends the program at once, the default way,
// for a user who will not wait for the current exchange to end.
class SignalStop final : public RunStop {
 public:
  SignalStop();
  ~SignalStop() override;
  SignalStop(const SignalStop&) = delete;
  SignalStop& operator=(const SignalStop&) = delete;

  bool StopRequested() const override;
  // 129, 130 or 143 after SIGHUP, SIGINT or SIGTERM.
  ExitStatus StoppedStatus() const override;
  std::string_view StoppedBy() const override;
};

}  // namespace fjl::cli

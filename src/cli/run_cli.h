#pragma once
// fjl-restore-cli as a function, so tests can run it in-process.

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/user_language.h"
#include "cli/exit_status.h"
#include "cli/signal_stop.h"
#include "serial/serial_channel.h"

namespace fjl::cli {

struct CliEnvironment {
  TextWriter out;          // standard output: --help, --list-ports
  TextWriter err;          // standard error: messages, progress
  bool err_is_terminal = false;
  // How the port is opened; empty for the platform's serial port.
  serial::ChannelOpener opener;
  // What may stop a restoration run; null: nothing can.
  const RunStop* stop = nullptr;
  // The ports listed and searched besides the system's (FJL_EXTRA_PORTS).
  std::vector<std::string> extra_ports;
  // The user's folder of kept downloads, shared with the wizard; empty
  // keeps nothing (and leaves --resume auto nowhere to look).
  std::filesystem::path kept_downloads;
  // The language of the CLI's own texts (the printer's stay Russian).
  Language language = Language::English;
};

// `args` without the program name.
ExitStatus RunCli(std::span<const std::string> args, const CliEnvironment& env);

}  // namespace fjl::cli

#include "cli/run_cli.h"

#include "cli/cli_options.h"
#include "link/port_listing.h"
#include "cli/restore_session.h"
#include "link/device_link.h"
#include "link/port_control.h"
#include "link/port_extra_ports.h"

namespace fjl::cli {

ExitStatus RunCli(std::span<const std::string> args, const CliEnvironment& env) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.ok()) {
    env.err("fjl-restore-cli: " + parsed.error + "\n\n" + UsageText());
    return kExitUsage;
  }
  switch (parsed.command) {
    case CliCommand::Help:
      env.out(VersionText() + "\n" + UsageText());
      return kExitRestored;
    case CliCommand::Version:
      env.out(VersionText());
      return kExitRestored;
    case CliCommand::ListPorts: {
      // The same extras the wizard's step 1 list shows.
      link::TPortControl::SetExtraPorts(link::ExtraPortsFromEnvironment());
      std::string listing;
      for (const std::string& port : link::ListPorts()) listing += port + "\n";
      env.out(listing);
      return kExitRestored;
    }
    case CliCommand::Restore:
      break;
  }
  Console console(env.err, env.err_is_terminal);
  link::DeviceLink link = env.opener ? link::DeviceLink(env.opener) : link::DeviceLink();
  return RunRestoreSession(parsed.options, link, console);
}

}  // namespace fjl::cli

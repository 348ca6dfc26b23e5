#include "cli/run_cli.h"

#include "cli/cli_options.h"
#include "port/port_listing.h"
#include "cli/restore_session.h"
#include "link/device_link.h"
#include "port/port_control.h"
#include "port/port_extra_ports.h"

namespace fjl::cli {

ExitStatus RunCli(std::span<const std::string> args, const CliEnvironment& env) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.ok()) {
    env.err("fjl-restore-cli: " + parsed.error + "\n\n" + UsageText());
    return kExitUsage;
  }
  switch (parsed.command) {
    case CliCommand::Help:
      env.out(UsageText());
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

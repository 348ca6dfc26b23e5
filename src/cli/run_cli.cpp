#include "cli/run_cli.h"

#include "cli/cli_options.h"
#include "cli/printer_search.h"
#include "port/port_listing.h"
#include "cli/restore_session.h"
#include "link/device_link.h"
#include "port/port_control.h"

namespace fjl::cli {

namespace {

// --find: the search alone; its finding on standard output.
ExitStatus RunFind(const RestoreOptions& options, const CliEnvironment& env) {
  Console console(env.err, env.err_is_terminal);
  const std::optional<std::string> password = PasswordBytes(options.password);
  if (!password) return kExitUsage;
  link::DeviceLink link = env.opener ? link::DeviceLink(env.opener) : link::DeviceLink();
  PortsToAsk ports = PortsToTry(options);
  const std::vector<std::int32_t> speeds = SpeedsToTry(options, options.speed);
  const SearchResult search =
      FindPrinter(link, ports.ports, speeds, *password, [&](const std::string& port, std::int32_t speed) {
        if (options.verbose) console.Note("trying " + port + " at " + std::to_string(speed) + " baud");
      }, env.stop);
  const std::optional<FoundPrinter>& found = search.found;
  ports.passed_over.insert(ports.passed_over.end(), search.passed_over.begin(), search.passed_over.end());
  if (!ports.passed_over.empty()) console.Note(PassedOverText(ports.passed_over));
  if (!found && StopRequested(env.stop)) {
    console.ShowError("Остановлено (" + std::string(env.stop->StoppedBy()) + ").");
    return env.stop->StoppedStatus();
  }
  if (!found) {
    console.ShowError(NothingAnsweredText(search.ports_asked, speeds.size()));
    return kExitStepFailed;
  }
  env.out(FoundPrinterText(*found) + "\n");
  return kExitRestored;
}

}  // namespace

ExitStatus RunCli(std::span<const std::string> args, const CliEnvironment& env) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.ok()) {
    env.err("fjl-restore-cli: " + parsed.error + "\n\n" + UsageText());
    return kExitUsage;
  }
  // The same extras the wizard's step 1 list shows, for a listing or a search.
  link::TPortControl::SetExtraPorts(env.extra_ports);
  switch (parsed.command) {
    case CliCommand::Help:
      env.out(VersionText() + "\n" + UsageText());
      return kExitRestored;
    case CliCommand::Version:
      env.out(VersionText());
      return kExitRestored;
    case CliCommand::Find:
      return RunFind(parsed.options, env);
    case CliCommand::ListPorts: {
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
  return RunRestoreSession(parsed.options, link, console, env.stop, env.kept_downloads);
}

}  // namespace fjl::cli

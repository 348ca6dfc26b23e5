#include "cli/run_cli.h"

#include "cli/cli_options.h"
#include "cli/printer_search.h"
#include "port/port_listing.h"
#include "cli/restore_session.h"
#include "cli/run_report.h"
#include "link/device_link.h"
#include "port/port_control.h"

namespace fjl::cli {

namespace {

// --find: the search alone; its finding on standard output.
ExitStatus RunFind(const RestoreOptions& options, const CliEnvironment& env) {
  Console console(env.err, env.err_is_terminal, Catalogue::For(env.language));
  const Catalogue& texts = console.Texts();
  const std::optional<std::string> password = PasswordBytes(options.password);
  if (!password) return kExitUsage;
  link::DeviceLink link = env.opener ? link::DeviceLink(env.opener) : link::DeviceLink();
  PortsToAsk ports = PortsToTry(options);
  const std::vector<std::int32_t> speeds = SpeedsToTry(options, options.speed);
  const SearchResult search =
      FindPrinter(link, ports.ports, speeds, *password, [&](const std::string& port, std::int32_t speed) {
        if (options.verbose) {
          console.Note(texts.Text("search.trying", {{"port", port}, {"speed", std::to_string(speed)}}));
        }
      }, env.stop);
  const std::optional<FoundPrinter>& found = search.found;
  ports.passed_over.insert(ports.passed_over.end(), search.passed_over.begin(), search.passed_over.end());
  if (!ports.passed_over.empty()) console.Note(PassedOverText(ports.passed_over, texts));
  if (!found && StopRequested(env.stop)) {
    console.ShowError(texts.Text("stop.stopped", {{"by", StopName(*env.stop, texts)}}));
    return env.stop->StoppedStatus();
  }
  if (!found) {
    console.ShowError(NothingAnsweredText(search.ports_asked, speeds.size(), texts));
    return kExitStepFailed;
  }
  env.out(FoundPrinterText(*found, texts) + "\n");
  return kExitRestored;
}

}  // namespace

ExitStatus RunCli(std::span<const std::string> args, const CliEnvironment& env) {
  const Catalogue& texts = Catalogue::For(env.language);
  const ParsedCommandLine parsed = ParseCommandLine(args, texts);
  // The one line that went wrong, not buried under the whole help.
  if (!parsed.ok()) {
    env.err(texts.Text("usage.error", {{"error", parsed.error}}) + "\n" + texts.Text("usage.see_help") + "\n");
    return kExitUsage;
  }
  // The same extras the wizard's step 1 list shows, for a listing or a search.
  port::TPortControl::SetExtraPorts(env.extra_ports);
  switch (parsed.command) {
    case CliCommand::Help:
      env.out(VersionText() + "\n" + UsageText(texts));
      return kExitRestored;
    case CliCommand::Version:
      env.out(VersionText());
      return kExitRestored;
    case CliCommand::Find:
      return RunFind(parsed.options, env);
    case CliCommand::ListPorts: {
      std::string listing;
      for (const std::string& port : port::ListPorts()) listing += port + "\n";
      env.out(listing);
      return kExitRestored;
    }
    case CliCommand::Restore:
      break;
  }
  Console console(env.err, env.err_is_terminal, texts);
  link::DeviceLink link = env.opener ? link::DeviceLink(env.opener) : link::DeviceLink();
  return RunRestoreSession(parsed.options, link, console, env.stop, env.kept_downloads);
}

}  // namespace fjl::cli

#include "cli/run_report.h"

#include <string>

#include "cli/shell_quote.h"
#include "platform/system_result.h"

namespace fjl::cli {

std::string PortOpenReason(const platform::SystemResult& why, const Catalogue& texts) {
  using platform::ErrorKind;
  switch (why.Kind()) {
    case ErrorKind::NotFound:
    case ErrorKind::NoDevice:
      return texts.Text("reason.no_device");
    case ErrorKind::NoPermission:
      return texts.Text("reason.no_permission");
    case ErrorKind::Busy:
      return texts.Text("reason.busy");
    case ErrorKind::NotATerminal:
      return texts.Text("reason.not_serial");
    case ErrorKind::InvalidArgument:
      return texts.Text("reason.bad_settings");
    default:
      break;
  }
  const std::string& text = why.Text();
  return texts.Text("reason.system", {{"why", text.empty() ? texts.Text("reason.error_number",
                                                                        {{"code", std::to_string(why.Code())}})
                                                           : text}});
}

std::string LogIncompleteText(const std::string& log, const platform::SystemResult& why, const Catalogue& texts) {
  return texts.Text("log.incomplete", {{"log", log}, {"why", why.UserText()}});
}

std::vector<std::string> IncompleteReasons(const tape::TapeData& tape, const restore::RestorationState& state,
                                           const Catalogue& texts) {
  std::vector<std::string> reasons;
  if (!tape.EndMarkerFound) reasons.push_back(texts.Text("incomplete.no_end_marker"));
  for (const std::string& letter : state.TaxGroupsNotRead) {
    reasons.push_back(texts.Text("incomplete.tax_group", {{"letter", letter}}));
  }
  if (state.LineLost) reasons.push_back(texts.Text("incomplete.port_gone"));
  return reasons;
}

std::string IncompleteReport(const std::vector<std::string>& reasons, const Catalogue& texts) {
  std::string joined;
  for (const std::string& reason : reasons) {
    if (!joined.empty()) joined += "; ";
    joined += reason;
  }
  return texts.Text("incomplete.report", {{"reasons", joined}});
}

std::string StopName(const RunStop& stop, const Catalogue& texts) {
  const std::string name(stop.StoppedBy());
  return texts.Find("stop.by." + name).value_or(name);
}

std::string GoOnCommand(const RestoreOptions& options, const std::string& port, const std::string& resume) {
  std::vector<std::string> args{"--resume", resume, "--port", port, "--output", options.output};
  if (options.password != kDefaultPassword) args.insert(args.end(), {"--password", options.password});
  if (options.log) args.insert(args.end(), {"--log", *options.log});
  if (options.verbose) args.emplace_back("--verbose");
  // The run that goes on writes what this one was asked to.
  if (options.export_json) args.insert(args.end(), {"--export", "json", *options.export_json});
  if (options.export_csv) args.insert(args.end(), {"--export", "csv", *options.export_csv});
  if (options.report) args.insert(args.end(), {"--report", *options.report});
  std::string command = "fjl-restore-cli";
  for (const std::string& arg : args) {
    command += ' ';
    command += QuoteArgument(arg);
  }
  return command;
}

}  // namespace fjl::cli

#include "cli/run_report.h"

#include <cerrno>
#include <string>

#include "cli/shell_quote.h"
#include "platform/system_result.h"
#include "text/file_error_text.h"

namespace fjl::cli {

std::string PortOpenReason(int error, const Catalogue& texts) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return texts.Text("reason.no_device");
    case EACCES:
    case EPERM:
      return texts.Text("reason.no_permission");
    case EBUSY:
      return texts.Text("reason.busy");
    case ENOTTY:
      return texts.Text("reason.not_serial");
    case EINVAL:
      return texts.Text("reason.bad_settings");
    default:
      break;
  }
  const std::string text = platform::ErrnoText(error);
  return texts.Text("reason.system",
                    {{"why", text.empty() ? texts.Text("reason.error_number", {{"code", std::to_string(error)}}) : text}});
}

std::string LogIncompleteText(const std::string& log, int error, const Catalogue& texts) {
  return texts.Text("log.incomplete", {{"log", log}, {"why", text::FileErrorText(error)}});
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
  std::string command = "fjl-restore-cli";
  for (const std::string& arg : args) {
    command += ' ';
    command += QuoteArgument(arg);
  }
  return command;
}

}  // namespace fjl::cli

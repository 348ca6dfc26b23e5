#include "cli/run_report.h"

#include <cerrno>
#include <string>

#include "cli/shell_quote.h"
#include "platform/system_result.h"
#include "text/file_error_text.h"

namespace fjl::cli {

std::string PortOpenReason(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "Причина: нет такого устройства (проверьте имя порта и кабель; fjl-restore-cli --list-ports "
             "показывает найденные порты).";
    case EACCES:
    case EPERM:
      return "Причина: нет прав на порт. Добавьте пользователя в группу dialout: "
             "sudo usermod -aG dialout $USER, затем войдите в систему заново.";
    case EBUSY:
      return "Причина: порт занят другой программой.";
    case ENOTTY:
      return "Причина: это не последовательный порт.";
    case EINVAL:
      return "Причина: порт не принимает эту скорость или настройки линии.";
    default:
      break;
  }
  const std::string text = platform::ErrnoText(error);
  return "Причина: " + (text.empty() ? "ошибка " + std::to_string(error) : text) + ".";
}

std::string LogIncompleteText(const std::string& log, int error) {
  return "the session log " + log + " is incomplete: " + text::FileErrorText(error);
}

std::vector<std::string> IncompleteReasons(const tape::TapeData& tape, const restore::RestorationState& state) {
  std::vector<std::string> reasons;
  if (!tape.EndMarkerFound) reasons.emplace_back("the tape ended without its end marker");
  for (const std::string& letter : state.TaxGroupsNotRead) reasons.push_back("tax group " + letter + " not read");
  if (state.LineLost) reasons.emplace_back("the port went away");
  return reasons;
}

std::string IncompleteReport(const std::vector<std::string>& reasons) {
  std::string report = "fjl-restore-cli: the FJL file was written, but it may be incomplete: ";
  for (std::size_t i = 0; i < reasons.size(); ++i) {
    if (i > 0) report += "; ";
    report += reasons[i];
  }
  return report + ".";
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

#include "app/qt/command_line.h"

#include <algorithm>
#include <cstdlib>

#include "fjl_version.h"

namespace fjl::app {
namespace {

constexpr std::string_view kExtraPortOption = "--extra-port";

void AddOnce(std::vector<std::string>& list, std::string item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) {
    list.push_back(std::move(item));
  }
}

}  // namespace

CommandLineResult ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string path;
    if (arg == kExtraPortOption) {
      if (i + 1 == args.size()) {
        return {std::nullopt, "--extra-port needs a port path"};
      }
      path = args[++i];
    } else if (arg.starts_with(std::string(kExtraPortOption) + "=")) {
      path = arg.substr(kExtraPortOption.size() + 1);
    } else {
      return {std::nullopt, "unknown argument: " + arg};
    }
    if (path.empty()) {
      return {std::nullopt, "--extra-port needs a port path"};
    }
    options.extra_ports.push_back(std::move(path));
  }
  return {std::move(options), {}};
}

std::vector<std::string> CollectExtraPorts(std::vector<std::string> environment_ports,
                                           const CommandLine& options) {
  std::vector<std::string> ports;
  for (std::string& port : environment_ports) {
    AddOnce(ports, std::move(port));
  }
  for (const std::string& port : options.extra_ports) {
    AddOnce(ports, port);
  }
  return ports;
}

std::string UsageText(std::string_view program) {
  return "usage: " + std::string(program) +
         " [--extra-port PATH]...\n"
         "  --extra-port PATH  also offer PATH in the port list (repeatable)\n"
         "  --version          print the version\n"
         "  --help             this text\n"
         "  FJL_EXTRA_PORTS    colon-separated port paths offered as well\n";
}

std::optional<std::string> InfoText(std::string_view program, const std::vector<std::string>& args) {
  const std::string version = std::string(program) + " " + kVersion + "\n";
  // A port path follows --extra-port and is never an option of its own.
  bool help = false;
  bool wants_version = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == kExtraPortOption) {
      ++i;
    } else if (args[i] == "--help" || args[i] == "-h") {
      help = true;
    } else if (args[i] == "--version") {
      wants_version = true;
    }
  }
  if (help) return version + "\n" + UsageText(program);
  if (wants_version) return version;
  return std::nullopt;
}

bool NoDisplay(const std::vector<std::string>& args) {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  for (const std::string& arg : args) {
    if (arg == "-platform" || arg == "--platform" || arg.starts_with("-platform=")) return false;
  }
  return !set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM");
}

}  // namespace fjl::app

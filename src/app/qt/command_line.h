#pragma once
// The program's only options: extra port paths (a simulator's
// pseudo-terminal, say) from `--extra-port PATH` and from FJL_EXTRA_PORTS.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fjl::app {

struct CommandLine {
  std::vector<std::string> extra_ports;
};

struct CommandLineResult {
  std::optional<CommandLine> options;  // nullopt: `error` says why
  std::string error;
};

// `args` without the program name. Accepts `--extra-port PATH` and
// `--extra-port=PATH`, repeatable; anything else is an error.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args);

// The environment's ports first, then the command line's, each once.
std::vector<std::string> CollectExtraPorts(std::vector<std::string> environment_ports,
                                           const CommandLine& options);

std::string UsageText(std::string_view program);

// The text `--version` or `--help` (`-h`) asks for, anywhere on the line,
// or nullopt. Answered before the toolkit starts, so neither needs a display.
std::optional<std::string> InfoText(std::string_view program, const std::vector<std::string>& args);

// True when Qt would find no display: no DISPLAY or WAYLAND_DISPLAY, and no
// other platform asked for (QT_QPA_PLATFORM, -platform).
bool NoDisplay(const std::vector<std::string>& args);

}  // namespace fjl::app

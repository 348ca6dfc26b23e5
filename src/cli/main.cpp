// fjl-restore-cli: the wizard's three steps without a display.

#include <unistd.h>

#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "link/port_control.h"
#include "link/port_extra_ports.h"

int main(int argc, char** argv) {
  fjl::link::TPortControl::SetExtraPorts(fjl::link::ExtraPortsFromEnvironment());
  const std::vector<std::string> args(argv + 1, argv + argc);
  const fjl::cli::CliEnvironment env{fjl::cli::DescriptorWriter(STDOUT_FILENO),
                                     fjl::cli::DescriptorWriter(STDERR_FILENO), ::isatty(STDERR_FILENO) == 1,
                                     {}};
  return fjl::cli::RunCli(args, env);
}

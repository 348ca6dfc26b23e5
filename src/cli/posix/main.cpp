// fjl-restore-cli: the wizard's three steps without a display.

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/posix/descriptor_writer.h"
#include "cli/run_cli.h"
#include "dump/kept_downloads.h"
#include "platform/user_folders.h"
#include "port/port_extra_ports.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const fjl::cli::SignalStop stop;
  const char* extra_ports = std::getenv("FJL_EXTRA_PORTS");
  const fjl::cli::CliEnvironment env{fjl::cli::DescriptorWriter(STDOUT_FILENO),
                                     fjl::cli::DescriptorWriter(STDERR_FILENO), ::isatty(STDERR_FILENO) == 1,
                                     {}, &stop,
                                     fjl::port::SplitPortList(extra_ports != nullptr ? extra_ports : ""),
                                     fjl::dump::KeptDownloadsRoot(fjl::platform::UserCacheFolder()),
                                     fjl::cli::UserLanguage()};
  return fjl::cli::RunCli(args, env);
}

// fjl-restore-cli.exe: the wizard's three steps without a display. The
// arguments arrive as UTF-16 and go on as UTF-8, so file names in any
// language reach the core unchanged.

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "cli/win32/console_writer.h"
#include "platform/win32/wide_text.h"
#include "dump/kept_downloads.h"
#include "platform/user_folders.h"
#include "port/port_extra_ports.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(fjl::platform::Utf8FromWide(argv[i]));
  const fjl::cli::SignalStop stop;
  const char* extra_ports = std::getenv("FJL_EXTRA_PORTS");
  const fjl::cli::CliEnvironment env{fjl::cli::StandardHandleWriter(STD_OUTPUT_HANDLE),
                                     fjl::cli::StandardHandleWriter(STD_ERROR_HANDLE),
                                     fjl::cli::IsConsole(STD_ERROR_HANDLE),
                                     {},
                                     &stop,
                                     fjl::port::SplitPortList(extra_ports != nullptr ? extra_ports : ""),
                                     fjl::dump::KeptDownloadsRoot(fjl::platform::UserCacheFolder()),
                                     fjl::cli::UserLanguage()};
  return fjl::cli::RunCli(args, env);
}

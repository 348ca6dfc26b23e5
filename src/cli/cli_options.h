#pragma once
// The command line of fjl-restore-cli: what to do and with which settings.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/catalogue.h"
#include "link/line_speeds.h"

namespace fjl::cli {

// The line speeds the step 1 list offers; 9600 is preselected there.
using link::kLineSpeeds;
inline constexpr std::int32_t kDefaultSpeed = 9600;
// The printer's factory password, preset in the step 1 password box.
inline constexpr std::string_view kDefaultPassword = "482913";

enum class CliCommand { Restore, Find, ListPorts, Help, Version };

// The value of --port and --speed that asks for a search.
inline constexpr std::string_view kAuto = "auto";

struct RestoreOptions {
  std::string port;
  std::string output;
  std::int32_t speed = kDefaultSpeed;
  bool speed_given = false;  // --speed was on the command line
  bool speed_auto = false;   // --speed auto: search the speeds
  std::string password{kDefaultPassword};  // UTF-8, as typed
  std::optional<std::string> log;           // session log file
  std::optional<std::string> dump;          // folder the download is kept in as it arrives
  std::optional<std::string> resume;        // a dump folder to go on with, or auto
  std::optional<std::string> from_dump;     // a dump folder to restore without a printer
  bool verbose = false;
  std::optional<std::string> export_json;  // --export json FILE
  std::optional<std::string> export_csv;   // --export csv DIR
  std::optional<std::string> report;       // --report FILE: the whole integrity check

  bool Exports() const { return export_json || export_csv; }
  // Files written from the tape's data besides the FJL file.
  bool WritesData() const { return Exports() || report; }

  bool PortAuto() const { return port == kAuto; }
  // --resume auto: the printer's own folder of kept downloads.
  bool ResumeAuto() const { return resume && *resume == kAuto; }
  // The folder --resume names, when it names one.
  std::optional<std::string> ResumeFolder() const { return ResumeAuto() ? std::nullopt : resume; }
};

struct ParsedCommandLine {
  CliCommand command = CliCommand::Restore;
  RestoreOptions options;
  std::string error;  // non-empty: a usage error, nothing else is valid
  bool ok() const { return error.empty(); }
};

// `args` without the program name. Options take their value as the next
// argument or after "=" ("--speed=19200"); each may be given once.
// Errors are worded in `texts`.
ParsedCommandLine ParseCommandLine(std::span<const std::string> args,
                                   const Catalogue& texts = Catalogue::English());

// The speed for an exact entry of the speed list ("9600"), nullopt otherwise.
std::optional<std::int32_t> ParseLineSpeed(std::string_view text);

// The password as the printer gets it (Windows-1251), or nullopt when the
// UTF-8 text holds a character Windows-1251 has no byte for, or is not
// valid UTF-8: sending '?' in its place would only earn a wrong-password error.
std::optional<std::string> PasswordBytes(std::string_view utf8);

// The --help text after the version line, worded in `texts`.
std::string UsageText(const Catalogue& texts = Catalogue::English());

// "fjl-restore-cli <version>" and a newline; --help shows it above the usage.
std::string VersionText();

}  // namespace fjl::cli

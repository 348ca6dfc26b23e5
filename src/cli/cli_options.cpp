#include "cli/cli_options.h"

#include <charconv>
#include <set>

#include "fjl_version.h"
#include "link/request_frame.h"
#include "text/cp1251.h"

namespace fjl::cli {
namespace {

// A flash read sends "password;address;", and the longest address has nine
// digits: a longer password could not be framed at all, and the printer
// would seem silent.
constexpr std::size_t kMaxPasswordBytes = link::kMaxFrameData - 11;

enum class Option { Port, Output, Speed, Password, Log, Dump, Verbose, ListPorts, Help, Version };

struct OptionName {
  std::string_view name;
  Option option;
  bool takes_value;
};

constexpr OptionName kOptions[] = {
    {"--port", Option::Port, true},          {"--output", Option::Output, true},
    {"--speed", Option::Speed, true},        {"--password", Option::Password, true},
    {"--log", Option::Log, true},            {"--dump", Option::Dump, true},
    {"--verbose", Option::Verbose, false},   {"--list-ports", Option::ListPorts, false},
    {"--help", Option::Help, false},         {"-h", Option::Help, false},
    {"--version", Option::Version, false},
};

const OptionName* FindOption(std::string_view name) {
  for (const OptionName& candidate : kOptions) {
    if (candidate.name == name) return &candidate;
  }
  return nullptr;
}

std::string SpeedList() {
  std::string list;
  for (const std::int32_t speed : kLineSpeeds) {
    if (!list.empty()) list += ' ';
    list += std::to_string(speed);
  }
  return list;
}

ParsedCommandLine Fail(std::string error) {
  ParsedCommandLine parsed;
  parsed.error = std::move(error);
  return parsed;
}

}  // namespace

std::optional<std::int32_t> ParseLineSpeed(std::string_view text) {
  for (const std::int32_t speed : kLineSpeeds) {
    if (text == std::to_string(speed)) return speed;
  }
  return std::nullopt;
}

std::optional<std::string> PasswordBytes(std::string_view utf8) {
  std::string bytes = text::Utf8ToCp1251(utf8);
  // The codec maps every byte both ways, so only a lossy conversion fails
  // the round trip.
  if (text::Cp1251ToUtf8(bytes) != utf8) return std::nullopt;
  return bytes;
}

ParsedCommandLine ParseCommandLine(std::span<const std::string> args) {
  ParsedCommandLine parsed;
  RestoreOptions& o = parsed.options;
  std::set<Option> seen;
  bool list_ports = false;
  bool help = false;
  bool version = false;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string_view name = arg;
    std::optional<std::string> value;
    if (const std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = std::string_view(arg).substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const OptionName* option = FindOption(name);
    if (option == nullptr) {
      if (arg.empty() || arg[0] != '-') return Fail("unexpected argument '" + arg + "'");
      return Fail("unknown option '" + std::string(name) + "'");
    }
    if (!option->takes_value && value) {
      return Fail("option '" + std::string(name) + "' takes no value");
    }
    if (option->takes_value && !value) {
      if (i + 1 >= args.size()) return Fail("option '" + std::string(name) + "' needs a value");
      value = args[++i];
    }
    if (!seen.insert(option->option).second) {
      return Fail("option '" + std::string(name) + "' is given more than once");
    }

    switch (option->option) {
      case Option::Port:
        if (value->empty()) return Fail("--port needs a port path");
        o.port = *value;
        break;
      case Option::Output:
        if (value->empty()) return Fail("--output needs a file name");
        o.output = *value;
        break;
      case Option::Speed: {
        const std::optional<std::int32_t> speed = ParseLineSpeed(*value);
        if (!speed) return Fail("--speed must be one of " + SpeedList() + ", not '" + *value + "'");
        o.speed = *speed;
        break;
      }
      case Option::Password: {
        const std::optional<std::string> bytes = PasswordBytes(*value);
        if (!bytes) return Fail("--password holds a character that Windows-1251 cannot carry");
        if (bytes->size() > kMaxPasswordBytes) {
          return Fail("--password is longer than " + std::to_string(kMaxPasswordBytes) + " characters");
        }
        o.password = *value;
        break;
      }
      case Option::Log:
        if (value->empty()) return Fail("--log needs a file name");
        o.log = *value;
        break;
      case Option::Dump:
        if (value->empty()) return Fail("--dump needs a folder");
        o.dump = *value;
        break;
      case Option::Verbose:
        o.verbose = true;
        break;
      case Option::ListPorts:
        list_ports = true;
        break;
      case Option::Help:
        help = true;
        break;
      case Option::Version:
        version = true;
        break;
    }
  }

  if (help) {
    parsed.command = CliCommand::Help;
    return parsed;
  }
  if (version) {
    parsed.command = CliCommand::Version;
    return parsed;
  }
  if (list_ports) {
    if (seen.size() > 1) return Fail("--list-ports takes no other options");
    parsed.command = CliCommand::ListPorts;
    return parsed;
  }
  if (o.port.empty()) return Fail("--port is required");
  if (o.output.empty()) return Fail("--output is required");
  parsed.command = CliCommand::Restore;
  return parsed;
}

std::string VersionText() { return std::string("fjl-restore-cli ") + kVersion + "\n"; }

std::string UsageText() {
  return "Usage:\n"
         "  fjl-restore-cli --port PATH --output FILE [--speed BAUD] [--password TEXT]\n"
         "                  [--log FILE] [--dump DIR] [--verbose]\n"
         "  fjl-restore-cli --list-ports\n"
         "  fjl-restore-cli --help | --version\n"
         "\n"
         "Downloads the electronic control tape and the auxiliary data from the fiscal\n"
         "printer on PATH, restores the tape as text and saves it to FILE (Windows-1251,\n"
         "CR LF), as the wizard's \"Сохранить\" would.\n"
         "\n"
         "  --port PATH       serial port, e.g. /dev/ttyUSB0 (see --list-ports)\n"
         "  --output FILE     the FJL file to write; replaced only by a complete tape\n"
         "  --speed BAUD      " + SpeedList() + "\n"
         "                    (default " + std::to_string(kDefaultSpeed) + ")\n"
         "  --password TEXT   access password (default " + std::string(kDefaultPassword) +
         "; \"\" sends an empty one)\n"
         "  --log FILE        append every exchange with the printer to FILE\n"
         "  --dump DIR        also keep the raw images DIR/tape.bin and DIR/aux.bin\n"
         "  --verbose         show the result code and status bytes of every reply\n"
         "  --list-ports      list the serial ports (with FJL_EXTRA_PORTS, colon-separated)\n"
         "  --version         print the version\n"
         "\n"
         "Exit status: 0 the tape was restored completely and saved; 1 a step failed\n"
         "(its message is shown, FILE is left as it was); 2 a usage error or an\n"
         "unusable FILE, log or DIR, found before the printer is asked anything;\n"
         "3 FILE was written, but it may be incomplete (the last line on stderr\n"
         "says why: the tape ended without its end marker, a tax group was not\n"
         "read, the port went away).\n";
}

}  // namespace fjl::cli

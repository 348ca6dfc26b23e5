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

enum class Option {
  Port, Output, Speed, Password, Log, Dump, Resume, FromDump, Export, Report, Verbose, Find, ListPorts, Help, Version
};

struct OptionName {
  std::string_view name;
  Option option;
  bool takes_value;
};

constexpr OptionName kOptions[] = {
    {"--port", Option::Port, true},          {"--output", Option::Output, true},
    {"--speed", Option::Speed, true},        {"--password", Option::Password, true},
    {"--log", Option::Log, true},            {"--dump", Option::Dump, true},
    {"--resume", Option::Resume, true},      {"--from-dump", Option::FromDump, true},
    {"--export", Option::Export, true},      {"--report", Option::Report, true},
    {"--verbose", Option::Verbose, false},   {"--find", Option::Find, false},
    {"--list-ports", Option::ListPorts, false},
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

namespace {

// Takes one option's value into `o`; an error text, or empty.
std::string ApplyOption(Option option, const std::string& value, RestoreOptions& o) {
  switch (option) {
    case Option::Port:
      if (value.empty()) return "--port needs a port path";
      o.port = value;
      return {};
    case Option::Output:
      if (value.empty()) return "--output needs a file name";
      o.output = value;
      return {};
    case Option::Speed: {
      o.speed_given = true;
      if (value == kAuto) {
        o.speed_auto = true;
        return {};
      }
      const std::optional<std::int32_t> speed = ParseLineSpeed(value);
      if (!speed) return "--speed must be one of " + SpeedList() + " or auto, not '" + value + "'";
      o.speed = *speed;
      return {};
    }
    case Option::Password: {
      const std::optional<std::string> bytes = PasswordBytes(value);
      if (!bytes) return "--password holds a character that Windows-1251 cannot carry";
      if (bytes->size() > kMaxPasswordBytes) {
        return "--password is longer than " + std::to_string(kMaxPasswordBytes) + " characters";
      }
      o.password = value;
      return {};
    }
    case Option::Log:
      if (value.empty()) return "--log needs a file name";
      o.log = value;
      return {};
    case Option::Dump:
    case Option::Resume:
    case Option::FromDump: {
      const std::string_view name = option == Option::Dump ? "--dump" : option == Option::Resume ? "--resume" : "--from-dump";
      if (value.empty()) return std::string(name) + " needs a folder";
      (option == Option::Dump ? o.dump : option == Option::Resume ? o.resume : o.from_dump) = value;
      return {};
    }
    case Option::Export:
      return {};  // its two values are taken where the arguments are walked
    case Option::Report:
      if (value.empty()) return "--report needs a file name";
      o.report = value;
      return {};
    case Option::Verbose:
      o.verbose = true;
      return {};
    case Option::Find:
    case Option::ListPorts:
    case Option::Help:
    case Option::Version:
      return {};
  }
  return {};
}

// --export FORMAT TARGET, once per format.
std::string ApplyExport(const std::string& format, const std::string* target, RestoreOptions& o) {
  std::optional<std::string>* slot = format == "json" ? &o.export_json : format == "csv" ? &o.export_csv : nullptr;
  if (slot == nullptr) return "--export takes json FILE or csv DIR, not '" + format + "'";
  if (target == nullptr || target->empty()) {
    return format == "json" ? "--export json needs a file name" : "--export csv needs a folder";
  }
  if (slot->has_value()) return "--export " + format + " is given more than once";
  *slot = *target;
  return {};
}

// Which command the options make, and whether they go together.
ParsedCommandLine Finish(ParsedCommandLine parsed, const std::set<Option>& seen) {
  const RestoreOptions& o = parsed.options;
  const auto given = [&seen](Option option) { return seen.count(option) != 0; };
  if (given(Option::Help)) {
    parsed.command = CliCommand::Help;
    return parsed;
  }
  if (given(Option::Version)) {
    parsed.command = CliCommand::Version;
    return parsed;
  }
  if (given(Option::ListPorts)) {
    if (seen.size() > 1) return Fail("--list-ports takes no other options");
    parsed.command = CliCommand::ListPorts;
    return parsed;
  }
  if (given(Option::Find)) {
    for (Option other :
         {Option::Output, Option::Log, Option::Dump, Option::Resume, Option::FromDump, Option::Export, Option::Report}) {
      if (given(other)) return Fail("--find only looks for the printer: it takes --port, --speed and --password");
    }
    parsed.command = CliCommand::Find;
    if (!given(Option::Port)) parsed.options.port = std::string(kAuto);
    if (!given(Option::Speed)) parsed.options.speed_auto = true;
    return parsed;
  }
  if (!o.from_dump && o.port.empty()) return Fail("--port is required");
  // The exports or the report alone are output enough for a run that asks no printer.
  if (o.output.empty() && !(o.from_dump && o.WritesData())) return Fail("--output is required");
  if (o.from_dump) {
    for (Option other : {Option::Port, Option::Speed, Option::Log, Option::Dump, Option::Resume}) {
      if (given(other)) return Fail("--from-dump restores without a printer: --port, --speed, --log, --dump and --resume do not go with it");
    }
    parsed.command = CliCommand::Restore;
    return parsed;
  }
  if (o.resume && o.dump) return Fail("--resume goes on writing its own folder: --dump does not go with it");
  parsed.command = CliCommand::Restore;
  return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::string> args) {
  ParsedCommandLine parsed;
  std::set<Option> seen;
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
    if (!option->takes_value && value) return Fail("option '" + std::string(name) + "' takes no value");
    if (option->takes_value && !value) {
      if (i + 1 >= args.size()) return Fail("option '" + std::string(name) + "' needs a value");
      value = args[++i];
    }
    if (option->option == Option::Export) {
      if (std::string error = ApplyExport(*value, i + 1 < args.size() ? &args[++i] : nullptr, parsed.options);
          !error.empty()) {
        return Fail(std::move(error));
      }
      seen.insert(Option::Export);
      continue;
    }
    if (!seen.insert(option->option).second) return Fail("option '" + std::string(name) + "' is given more than once");
    if (std::string error = ApplyOption(option->option, value.value_or(""), parsed.options); !error.empty()) {
      return Fail(std::move(error));
    }
  }
  return Finish(std::move(parsed), seen);
}

std::string VersionText() { return std::string("fjl-restore-cli ") + kVersion + "\n"; }

std::string UsageText() {
  return "Usage:\n"
         "  fjl-restore-cli --port PATH --output FILE [--speed BAUD] [--password TEXT]\n"
         "                  [--log FILE] [--dump DIR] [--verbose]\n"
         "  fjl-restore-cli --resume DIR|auto --port PATH --output FILE [--speed BAUD] ...\n"
         "  fjl-restore-cli --from-dump DIR --output FILE [--password TEXT]\n"
         "  ... [--export json FILE] [--export csv DIR] [--report FILE]\n"
         "                  (with --from-dump, --output may be left out)\n"
         "  fjl-restore-cli --find [--port PATH] [--speed BAUD] [--password TEXT]\n"
         "  fjl-restore-cli --list-ports\n"
         "  fjl-restore-cli --help | --version\n"
         "\n"
         "Downloads the electronic control tape and the auxiliary data from the fiscal\n"
         "printer on PATH, restores the tape as text and saves it to FILE (Windows-1251,\n"
         "CR LF), as the wizard's \"Сохранить\" would. The download is kept as it\n"
         "arrives in the user's cache folder, one folder per printer, shared with the\n"
         "wizard: a cut line or Ctrl-C costs only the chunk in flight, and the last\n"
         "line then gives the command that goes on.\n"
         "\n"
         "  --port PATH       serial port, e.g. /dev/ttyUSB0 (see --list-ports), or auto:\n"
         "                    try every listed port\n"
         "  --output FILE     the FJL file to write; replaced only by a complete tape.\n"
         "                    Refused up front, as a shell's '>' would refuse it: a\n"
         "                    read-only file (root may), links that loop, a name too\n"
         "                    long for the temporary file beside it, or the file of\n"
         "                    --log or of a dump\n"
         "  --speed BAUD      " + SpeedList() + "\n"
         "                    or auto: try them from the fastest down (default " +
         std::to_string(kDefaultSpeed) + "; a resume takes its dump's speed)\n"
         "  --password TEXT   access password (default " + std::string(kDefaultPassword) +
         "; \"\" sends an empty one)\n"
         "  --export json FILE  also write the tape as data: documents, items,\n"
         "                    payments, amounts as integers (UTF-8 JSON)\n"
         "  --export csv DIR  also write documents.csv, items.csv and payments.csv\n"
         "                    into DIR (made if missing): UTF-8 with BOM, ';' between\n"
         "                    fields, amounts as decimals with ',' (for Excel in Russian)\n"
         "  --report FILE     write the whole integrity check of the tape (gaps and\n"
         "                    repeats of document numbers, dates going back, unpaid\n"
         "                    receipts, ...): JSON when FILE ends in .json, else Russian\n"
         "                    text. Its one-line summary ends every restoring run;\n"
         "                    a finding never changes the exit status\n"
         "  --log FILE        append every exchange with the printer to FILE\n"
         "  --dump DIR        keep the download in DIR instead (tape.bin, auxiliary.bin,\n"
         "                    state.txt) with the printer's answers to the restoration\n"
         "                    (answers.txt), for --resume and --from-dump; DIR must hold\n"
         "                    no dump yet\n"
         "  --resume DIR      go on with the interrupted download kept in DIR (the same\n"
         "                    tape only: the serial number and stored chunks are checked)\n"
         "  --resume auto     the same with the download the wizard or an earlier run\n"
         "                    kept for the printer on PATH (found by its serial number)\n"
         "  --from-dump DIR   restore from DIR without a printer, its answers replayed\n"
         "  --find            only look for the printer and report the port and speed\n"
         "  --verbose         show the result code and status bytes of every reply\n"
         "  --list-ports      list the serial ports (with FJL_EXTRA_PORTS, colon-separated)\n"
         "  --version         print the version\n"
         "\n"
         "Exit status: 0 the tape was restored completely and saved; 1 a step failed\n"
         "(its message is shown, FILE is left as it was); 2 a usage error or an\n"
         "unusable FILE, log or DIR, found before the printer is asked anything;\n"
         "3 FILE was written, but it may be incomplete (the last line on stderr\n"
         "says why: the tape ended without its end marker, a tax group was not\n"
         "read, the port went away); 129, 130, 143 stopped by SIGHUP, SIGINT or\n"
         "SIGTERM at the next safe point (after the reply awaited, between two\n"
         "records or two blocks of the file): FILE is left as it was, with nothing\n"
         "beside it, and the port is closed. A second signal ends it at once.\n";
}

}  // namespace fjl::cli

#include "cli/cli_options.h"

#include <charconv>
#include <set>

#include "cli/catalogue.h"
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
std::string ApplyOption(Option option, const std::string& value, RestoreOptions& o, const Catalogue& texts) {
  switch (option) {
    case Option::Port:
      if (value.empty()) return texts.Text("option.port_empty");
      o.port = value;
      return {};
    case Option::Output:
      if (value.empty()) return texts.Text("option.output_empty");
      o.output = value;
      return {};
    case Option::Speed: {
      o.speed_given = true;
      if (value == kAuto) {
        o.speed_auto = true;
        return {};
      }
      const std::optional<std::int32_t> speed = ParseLineSpeed(value);
      if (!speed) return texts.Text("option.speed_bad", {{"speeds", SpeedList()}, {"value", value}});
      o.speed = *speed;
      return {};
    }
    case Option::Password: {
      const std::optional<std::string> bytes = PasswordBytes(value);
      if (!bytes) return texts.Text("option.password_charset");
      if (bytes->size() > kMaxPasswordBytes) {
        return texts.Text("option.password_long", {{"count", std::to_string(kMaxPasswordBytes)}});
      }
      o.password = value;
      return {};
    }
    case Option::Log:
      if (value.empty()) return texts.Text("option.log_empty");
      o.log = value;
      return {};
    case Option::Dump:
    case Option::Resume:
    case Option::FromDump: {
      const std::string_view name = option == Option::Dump ? "--dump" : option == Option::Resume ? "--resume" : "--from-dump";
      if (value.empty()) return texts.Text("option.folder_empty", {{"option", std::string(name)}});
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
std::string ApplyExport(const std::string& format, const std::string* target, RestoreOptions& o,
                        const Catalogue& texts) {
  std::optional<std::string>* slot = format == "json" ? &o.export_json : format == "csv" ? &o.export_csv : nullptr;
  if (slot == nullptr) return texts.Text("option.export_format", {{"format", format}});
  if (target == nullptr || target->empty()) {
    return texts.Text(format == "json" ? "option.export_json_empty" : "option.export_csv_empty");
  }
  if (slot->has_value()) return texts.Text("option.export_twice", {{"format", format}});
  *slot = *target;
  return {};
}

// Which command the options make, and whether they go together.
ParsedCommandLine Finish(ParsedCommandLine parsed, const std::set<Option>& seen, const Catalogue& texts) {
  const RestoreOptions& o = parsed.options;
  const auto given = [&seen](Option option) { return seen.contains(option); };
  if (given(Option::Help)) {
    parsed.command = CliCommand::Help;
    return parsed;
  }
  if (given(Option::Version)) {
    parsed.command = CliCommand::Version;
    return parsed;
  }
  if (given(Option::ListPorts)) {
    if (seen.size() > 1) return Fail(texts.Text("option.list_ports_alone"));
    parsed.command = CliCommand::ListPorts;
    return parsed;
  }
  if (given(Option::Find)) {
    for (Option other :
         {Option::Output, Option::Log, Option::Dump, Option::Resume, Option::FromDump, Option::Export, Option::Report}) {
      if (given(other)) return Fail(texts.Text("option.find_alone"));
    }
    parsed.command = CliCommand::Find;
    if (!given(Option::Port)) parsed.options.port = std::string(kAuto);
    if (!given(Option::Speed)) parsed.options.speed_auto = true;
    return parsed;
  }
  if (!o.from_dump && o.port.empty()) return Fail(texts.Text("option.port_required"));
  // The exports or the report alone are output enough for a run that asks no printer.
  if (o.output.empty() && !(o.from_dump && o.WritesData())) return Fail(texts.Text("option.output_required"));
  if (o.from_dump) {
    for (Option other : {Option::Port, Option::Speed, Option::Log, Option::Dump, Option::Resume}) {
      if (given(other)) return Fail(texts.Text("option.from_dump_alone"));
    }
    parsed.command = CliCommand::Restore;
    return parsed;
  }
  if (o.resume && o.dump) return Fail(texts.Text("option.resume_with_dump"));
  parsed.command = CliCommand::Restore;
  return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::string> args, const Catalogue& texts) {
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
      if (arg.empty() || arg[0] != '-') return Fail(texts.Text("option.unexpected", {{"argument", arg}}));
      return Fail(texts.Text("option.unknown", {{"option", std::string(name)}}));
    }
    if (!option->takes_value && value) return Fail(texts.Text("option.takes_no_value", {{"option", std::string(name)}}));
    if (option->takes_value && !value) {
      if (i + 1 >= args.size()) return Fail(texts.Text("option.needs_value", {{"option", std::string(name)}}));
      value = args[++i];
    }
    if (option->option == Option::Export) {
      if (std::string error = ApplyExport(*value, i + 1 < args.size() ? &args[++i] : nullptr, parsed.options, texts);
          !error.empty()) {
        return Fail(std::move(error));
      }
      seen.insert(Option::Export);
      continue;
    }
    if (!seen.insert(option->option).second) return Fail(texts.Text("option.given_twice", {{"option", std::string(name)}}));
    if (std::string error = ApplyOption(option->option, value.value_or(""), parsed.options, texts); !error.empty()) {
      return Fail(std::move(error));
    }
  }
  return Finish(std::move(parsed), seen, texts);
}

std::string VersionText() { return std::string("fjl-restore-cli ") + kVersion + "\n"; }

std::string UsageText(const Catalogue& texts) {
  const std::initializer_list<TextArg> values{{"port", texts.Text("port.example")},
                                              {"speeds", SpeedList()},
                                              {"default_speed", std::to_string(kDefaultSpeed)},
                                              {"default_password", std::string(kDefaultPassword)}};
  std::string usage;
  for (const std::string_view part : {"help.usage", "help.access", "help.example", "help.exit", "help.stop"}) {
    if (!usage.empty()) usage += '\n';
    usage += texts.Text(part, values);
  }
  return usage;
}

}  // namespace fjl::cli

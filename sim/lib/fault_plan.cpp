#include "sim/lib/fault_plan.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace fjl::sim {
namespace {

constexpr std::array<std::pair<std::string_view, FaultKind>, 21> kKinds{{
    {"silence", FaultKind::Silence},
    {"nak", FaultKind::Nak},
    {"bad-checksum", FaultKind::BadChecksum},
    {"syn-before", FaultKind::SynBefore},
    {"syn-inside", FaultKind::SynInside},
    {"error", FaultKind::ErrorCode},
    {"cut", FaultKind::CutFrame},
    {"malformed", FaultKind::MalformedFrame},
    {"garbage", FaultKind::Garbage},
    {"empty", FaultKind::EmptyData},
    {"one-field", FaultKind::OneField},
    {"thirty-fields", FaultKind::ThirtyFields},
    {"lower-hex", FaultKind::LowerCaseHex},
    {"count-nan", FaultKind::CountNotNumber},
    {"count-over", FaultKind::CountOverHex},
    {"delay", FaultKind::Delay},
    {"hangup", FaultKind::HangUp},
    {"stale", FaultKind::Stale},
    {"wrong-seq", FaultKind::WrongSeq},
    {"wrong-cmd", FaultKind::WrongCommand},
    {"noise-stream", FaultKind::NoiseStream},
}};

[[noreturn]] void Reject(std::string_view rule_text, const std::string& why) {
  throw std::invalid_argument("bad fault \"" + std::string(rule_text) + "\": " + why);
}

int ParseInt(std::string_view rule_text, std::string_view key, std::string_view value) {
  int base = 10;
  if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
    base = 16;
    value.remove_prefix(2);
  }
  int out = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), out, base);
  if (ec != std::errc() || end != value.data() + value.size())
    Reject(rule_text, std::string(key) + " wants a number");
  return out;
}

void Apply(FaultRule& rule, std::string_view rule_text, std::string_view key, std::string_view value) {
  if (key == "cmd") {
    rule.command = ParseInt(rule_text, key, value);
  } else if (key == "every") {
    rule.every = ParseInt(rule_text, key, value);
    if (rule.every < 1) Reject(rule_text, "every must be 1 or more");
  } else if (key == "limit") {
    rule.limit = ParseInt(rule_text, key, value);
  } else if (key == "count") {
    rule.count = ParseInt(rule_text, key, value);
  } else if (key == "at") {
    rule.at = ParseInt(rule_text, key, value);
  } else if (key == "gap" || key == "ms") {
    rule.gap = std::chrono::milliseconds(ParseInt(rule_text, key, value));
  } else if (key == "soh") {
    rule.soh = ParseInt(rule_text, key, value);
    if (rule.soh < 0) Reject(rule_text, "soh must be 0 or more");
  } else if (key == "etx") {
    rule.etx = ParseInt(rule_text, key, value) != 0;
  } else if (key == "after") {
    rule.after = ParseInt(rule_text, key, value) != 0;
  } else if (key == "code") {
    rule.code = std::string(value);
  } else if (key == "text") {
    rule.text = std::string(value);
  } else {
    Reject(rule_text, "unknown key " + std::string(key));
  }
}

}  // namespace

bool FaultRule::Fires(int request_command) {
  if (command >= 0 && command != request_command) return false;
  ++matched;
  if (matched % every != 0) return false;
  if (limit >= 0 && fired >= limit) return false;
  ++fired;
  return true;
}

FaultRule ParseFaultRule(std::string_view rule_text) {
  const std::size_t colon = rule_text.find(':');
  const std::string_view name = rule_text.substr(0, colon);
  FaultRule rule;
  bool known = false;
  for (const auto& [kind_name, kind] : kKinds) {
    if (kind_name == name) {
      rule.kind = kind;
      known = true;
    }
  }
  if (!known) Reject(rule_text, "unknown kind " + std::string(name));
  if (colon == std::string_view::npos) return rule;

  std::string_view rest = rule_text.substr(colon + 1);
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) Reject(rule_text, "expected key=value, got " + std::string(item));
    Apply(rule, rule_text, item.substr(0, eq), item.substr(eq + 1));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return rule;
}

std::string FaultRuleHelp() {
  return "Fault: KIND[:KEY=VALUE,...]\n"
         "  kinds: silence, nak, bad-checksum, syn-before, syn-inside, error, cut,\n"
         "         malformed, garbage, empty, one-field, thirty-fields, lower-hex,\n"
         "         count-nan, count-over, delay, hangup, stale, wrong-seq, wrong-cmd,\n"
         "         noise-stream (the last four still send their frames or noise when\n"
         "         silence fires too)\n"
         "  which requests:  cmd=N (decimal or 0x..; default any), every=N (default 1),\n"
         "                   limit=N (times at most; default no limit)\n"
         "  parameters:      count=N  SYN bytes (syn-*, default 3), noise bytes (garbage,\n"
         "                            default 8; noise-stream, default 100), bytes of\n"
         "                            hex dropped (count-over,\n"
         "                            default half)\n"
         "                   gap=MS   between SYN bytes (syn-before), pause (delay),\n"
         "                            between noise bytes (noise-stream, default 10)\n"
         "                   soh=N    every Nth noise byte an SOH, the rest printable:\n"
         "                            frames that begin and never end (noise-stream)\n"
         "                   at=N     frame offset (syn-inside, cut; default half the frame)\n"
         "                   etx=1    a cut frame still ends with ETX\n"
         "                   after=1  garbage after the reply; hangup after replying\n"
         "                   code=XXXX error code (error; default 0001)\n"
         "                   text=T   the byte count text (count-nan; default abc)\n"
         "  examples: silence:cmd=241,limit=1   syn-before:count=120,gap=50\n"
         "            error:code=0106,cmd=0x42  nak:every=3   hangup:after=1,limit=1\n";
}

}  // namespace fjl::sim

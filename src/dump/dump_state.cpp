#include "dump/dump_state.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <random>

#include "dump/crc32c.h"
#include "link/line_speeds.h"
#include "tape/flash_image.h"
#include "text/hex_text.h"

namespace fjl::dump {
namespace {

constexpr std::string_view kFirstLine = "fjl-restore dump 2";
// Dumps of the first version kept no digests: nothing proves their images.
constexpr std::string_view kFirstVersionLine = "fjl-restore dump 1";
constexpr std::size_t kIdDigits = 16;

bool IsDumpId(std::string_view id) {
  return id.size() == kIdDigits &&
         std::all_of(id.begin(), id.end(), [](char c) { return text::UpperHexDigitValue(c).has_value(); });
}

std::string_view AreaName(DumpArea area) {
  switch (area) {
    case DumpArea::Tape: return "tape";
    case DumpArea::Aux: return "aux";
    case DumpArea::Done: return "done";
  }
  return "tape";
}

void AddArea(std::string& text, std::string_view name, const AreaProgress& progress, std::int64_t first_address) {
  const std::string prefix(name);
  text += prefix + ".stored=" + std::to_string(progress.stored) + "\n";
  text += prefix + ".next=" + std::to_string(first_address + progress.stored) + "\n";
  text += prefix + ".last_chunk=" + std::to_string(progress.last_chunk) + "\n";
  text += prefix + ".complete=" + (progress.complete ? "1" : "0") + "\n";
  text += prefix + ".crc32c=" + DigestText(progress.digest) + "\n";
}

using Values = std::map<std::string, std::string, std::less<>>;

platform::SystemResult Unreadable(std::string why) { return platform::SystemResult::Program(std::move(why)); }

template <typename Number>
platform::SystemResult ReadNumber(const Values& values, std::string_view key, Number& out) {
  const auto it = values.find(key);
  if (it == values.end()) return Unreadable("no " + std::string(key) + " in the state file");
  const std::string& text = it->second;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  if (ec != std::errc() || end != text.data() + text.size() || out < 0) {
    return Unreadable(std::string(key) + " is not a number: " + text);
  }
  return {};
}

platform::SystemResult ReadArea(const Values& values, std::string_view name, AreaProgress& progress,
                                std::int64_t window) {
  const std::string prefix(name);
  int complete = 0;
  if (platform::SystemResult read = ReadNumber(values, prefix + ".stored", progress.stored); !read) return read;
  if (platform::SystemResult read = ReadNumber(values, prefix + ".last_chunk", progress.last_chunk); !read) {
    return read;
  }
  if (platform::SystemResult read = ReadNumber(values, prefix + ".complete", complete); !read) return read;
  if (progress.stored > window || progress.last_chunk > progress.stored || complete > 1) {
    return Unreadable("the " + prefix + " figures of the state file do not fit together");
  }
  progress.complete = complete == 1;
  const auto digest = values.find(prefix + ".crc32c");
  const std::optional<std::uint32_t> parsed =
      digest == values.end() ? std::nullopt : ParseDigest(digest->second);
  if (!parsed) return Unreadable("no digest of the " + prefix + " image in the state file");
  progress.digest = *parsed;
  return {};
}

}  // namespace

std::string NewDumpId() {
  std::random_device random;
  std::string id;
  while (id.size() < kIdDigits) id += text::UpperHex(random(), 8).substr(0, 8);
  return id.substr(0, kIdDigits);
}

std::string FormatDumpState(const DumpState& state) {
  std::string text(kFirstLine);
  text += "\nid=" + state.id + "\n";
  text += "serial=" + state.serial + "\n";
  text += "speed=" + std::to_string(state.speed) + "\n";
  text += "area=" + std::string(AreaName(state.area)) + "\n";
  AddArea(text, "tape", state.tape, tape::kTapeArea.first_address);
  AddArea(text, "aux", state.aux, tape::kAuxArea.first_address);
  return text;
}

platform::Result<DumpState> ParseDumpState(std::string_view text) {
  Values values;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      if (line == kFirstVersionLine) {
        return Unreadable("written by an earlier version that kept no digests of the images; start a new dump");
      }
      if (line != kFirstLine) return Unreadable("not a dump state file");
      first = false;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    values[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 1));
  }
  if (first) return Unreadable("the state file is empty");
  DumpState state;
  const auto id = values.find("id");
  const auto serial = values.find("serial");
  const auto area = values.find("area");
  if (id == values.end() || !IsDumpId(id->second)) return Unreadable("no dump id in the state file");
  if (serial == values.end() || area == values.end()) {
    return Unreadable("no serial number or area in the state file");
  }
  state.id = id->second;
  state.serial = serial->second;
  if (area->second == "tape") {
    state.area = DumpArea::Tape;
  } else if (area->second == "aux") {
    state.area = DumpArea::Aux;
  } else if (area->second == "done") {
    state.area = DumpArea::Done;
  } else {
    return Unreadable("unknown area " + area->second + " in the state file");
  }
  if (platform::SystemResult read = ReadNumber(values, "speed", state.speed); !read) return read;
  if (platform::SystemResult read = ReadArea(values, "tape", state.tape, tape::kTapeArea.Size()); !read) return read;
  if (platform::SystemResult read = ReadArea(values, "aux", state.aux, tape::kAuxArea.Size()); !read) return read;
  if (!link::IsLineSpeed(state.speed)) {
    return Unreadable("speed=" + std::to_string(state.speed) + " is not a line speed of the port");
  }
  return state;
}

}  // namespace fjl::dump

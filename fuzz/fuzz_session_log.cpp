// The session log and the command catalogue over arbitrary inputs: clock
// readings of any value, heads and bodies of any bytes (the printer's raw
// reply lands in a body), command codes of any value.
//
// An entry keeps its head and body byte for byte; a clock reading inside
// its ranges reads back from the stamp; the file holds exactly the entries
// written, in order. Every code has a name; a code the catalogue knows is
// named after itself ("Команда 2Ch: ..."), and its texts survive the trip
// through Windows-1251 the log and the windows take them on.
//
// Input: 24 bytes of clock reading (six int32), then entries, each a head
// length byte and a body length byte followed by the head and the body;
// every entry's first head byte also picks a command code to look up.


#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

#include "link/command_catalogue.h"
#include "link/session_log.h"
#include "text/cp1251.h"

namespace {

using namespace fjl;
namespace fs = std::filesystem;

void Require(bool condition) {
  if (!condition) std::abort();
}

class ByteSource {
 public:
  explicit ByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Empty() const { return position_ >= bytes_.size(); }
  std::uint8_t Next() { return position_ < bytes_.size() ? bytes_[position_++] : 0; }
  std::int32_t NextInt() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | Next();
    std::int32_t signed_value;
    std::memcpy(&signed_value, &value, sizeof value);
    return signed_value;
  }
  std::string Text(std::size_t length) {
    length = std::min(length, bytes_.size() - std::min(position_, bytes_.size()));
    std::string text(reinterpret_cast<const char*>(bytes_.data() + position_), length);
    position_ += length;
    return text;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

bool InRange(const link::LocalTime& t) {
  return t.day >= 1 && t.day <= 31 && t.month >= 1 && t.month <= 12 && t.year >= 1000 &&
         t.year <= 9999 && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
         t.second >= 0 && t.second <= 59;
}

int Number(std::string_view digits) {
  while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
  Require(!digits.empty());
  int value = 0;
  for (char c : digits) {
    Require(c >= '0' && c <= '9');
    value = value * 10 + (c - '0');
  }
  return value;
}

// "dd-mm-yyyy hh:mm:ss", day and hour padded with a blank.
void CheckStamp(std::string_view stamp, const link::LocalTime& t) {
  Require(stamp.size() == 19);
  Require(stamp[2] == '-' && stamp[5] == '-' && stamp[10] == ' ' && stamp[13] == ':' && stamp[16] == ':');
  Require(Number(stamp.substr(0, 2)) == t.day);
  Require(Number(stamp.substr(3, 2)) == t.month);
  Require(Number(stamp.substr(6, 4)) == t.year);
  Require(Number(stamp.substr(11, 2)) == t.hour);
  Require(Number(stamp.substr(14, 2)) == t.minute);
  Require(Number(stamp.substr(17, 2)) == t.second);
  Require(stamp[3] != ' ' && stamp[14] != ' ' && stamp[17] != ' ');
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

void CheckEntry(const link::LocalTime& t, std::string_view head, std::string_view body) {
  const std::string entry = link::SessionLog::FormatEntry(t, head, body);
  std::string_view stamp;
  if (head.empty() || body.empty()) {
    const std::string words = text::Utf8ToCp1251(head.empty() ? ";Начало сеанса   " : ";Конец Сеанса   ");
    Require(StartsWith(entry, words) && EndsWith(entry, " \n"));
    stamp = std::string_view(entry).substr(words.size(), entry.size() - words.size() - 2);
  } else {
    const std::string tail = "  " + std::string(head) + "\n" + std::string(body) + "\n";
    Require(StartsWith(entry, ";") && EndsWith(entry, tail));
    stamp = std::string_view(entry).substr(1, entry.size() - 1 - tail.size());
  }
  // Whatever the clock says, the stamp stays on its line.
  Require(stamp.find('\n') == std::string_view::npos);
  if (InRange(t)) CheckStamp(stamp, t);
}

void CheckCommand(std::int32_t code) {
  const std::string_view name = link::CommandName(code);
  const link::CommandEntry entry = link::CatalogueEntry(code);
  Require(!name.empty());
  Require(entry.name.empty() == entry.parameters.empty());
  if (code < link::kFirstCatalogueCode || code > link::kLastCatalogueCode) Require(entry.name.empty());
  if (entry.name.empty()) {
    Require(name == link::kUnknownCommandName);
    return;
  }
  Require(name == entry.name);
  constexpr char kDigits[] = "0123456789ABCDEF";
  const std::string own = std::string("Команда ") + kDigits[(code >> 4) & 0xF] + kDigits[code & 0xF] + "h:";
  Require(StartsWith(name, own));
  Require(text::Cp1251ToUtf8(text::Utf8ToCp1251(name)) == name);
  Require(text::Cp1251ToUtf8(text::Utf8ToCp1251(entry.parameters)) == entry.parameters);
}

// One folder for the whole run, removed when the process ends.
class LogFolder {
 public:
  LogFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const fs::path candidate = fs::temp_directory_path() / ("fjl_fuzz_log_" + std::to_string(random()));
      std::error_code error;
      if (fs::create_directory(candidate, error)) path_ = candidate;
    }
    Require(!path_.empty());
  }
  ~LogFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

const fs::path& LogDirectory() {
  static const LogFolder folder;
  return folder.Path();
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteSource source({data, size});
  link::LocalTime t;
  t.day = source.NextInt();
  t.month = source.NextInt();
  t.year = source.NextInt();
  t.hour = source.NextInt();
  t.minute = source.NextInt();
  t.second = source.NextInt();

  const fs::path file = LogDirectory() / "session.log";
  std::error_code ignored;
  fs::remove(file, ignored);
  link::SessionLog log;
  log.SetClock([&] { return t; });
  log.SetDirectorySource([] { return LogDirectory(); });
  link::SessionLog silent;  // no file name: logging is off
  silent.SetDirectorySource([] { return LogDirectory(); });
  log.SetFileName("session.log");

  std::string expected;
  for (int entries = 0; entries < 16 && !source.Empty(); ++entries) {
    const std::size_t head_length = source.Next();
    const std::size_t body_length = source.Next();
    const std::string head = source.Text(head_length);
    const std::string body = source.Text(body_length);
    CheckEntry(t, head, body);
    CheckCommand(head.empty() ? static_cast<std::int32_t>(body_length) - 100 : static_cast<unsigned char>(head[0]));
    silent.WriteSessionLog(head, body);
    log.WriteSessionLog(head, body);
    expected += link::SessionLog::FormatEntry(t, head, body);
  }
  CheckCommand(t.day);
  Require(ReadAll(file) == expected);
  fs::remove(file, ignored);
  Require(fs::is_empty(LogDirectory()));
  return 0;
}

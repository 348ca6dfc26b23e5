#include "dump/answer_log.h"

#include <charconv>
#include <optional>

#include "text/cp1251.h"
#include "text/hex_text.h"

namespace fjl::dump {
namespace {

bool Plain(unsigned char c) { return c >= 0x20 && c != 0x7F && c != '"' && c != '\\'; }

// Reads one quoted text at the front of `line` and removes it from there.
std::optional<std::string> TakeQuoted(std::string_view& line) {
  if (line.empty() || line.front() != '"') return std::nullopt;
  std::size_t i = 1;
  std::string utf8_run;  // plain characters, turned back into bytes together
  std::string bytes;
  const auto flush = [&] {
    bytes += text::Utf8ToCp1251(utf8_run);
    utf8_run.clear();
  };
  while (i < line.size()) {
    const char c = line[i];
    if (c == '"') {
      flush();
      line.remove_prefix(i + 1);
      return bytes;
    }
    if (c != '\\') {
      utf8_run += c;
      ++i;
      continue;
    }
    flush();
    if (i + 1 >= line.size()) return std::nullopt;
    const char what = line[i + 1];
    if (what == '\\' || what == '"') {
      bytes += what;
      i += 2;
    } else if (what == 'x' && i + 3 < line.size()) {
      const auto high = text::UpperHexDigitValue(line[i + 2]);
      const auto low = text::UpperHexDigitValue(line[i + 3]);
      if (!high || !low) return std::nullopt;
      bytes += static_cast<char>(*high * 16 + *low);
      i += 4;
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;  // no closing quote
}

template <typename Number>
bool TakeHex(std::string_view& line, Number& value) {
  const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), value, 16);
  if (ec != std::errc() || end == line.data()) return false;
  line.remove_prefix(static_cast<std::size_t>(end - line.data()));
  return true;
}

bool TakeBlank(std::string_view& line) {
  if (line.empty() || line.front() != ' ') return false;
  line.remove_prefix(1);
  return true;
}

std::optional<RecordedAnswer> ParseLine(std::string_view line) {
  RecordedAnswer answer;
  std::optional<std::string> data;
  std::optional<std::string> raw;
  if (!TakeHex(line, answer.command) || !TakeBlank(line) || !TakeHex(line, answer.status) || !TakeBlank(line) ||
      !(data = TakeQuoted(line)) || !TakeBlank(line) || !(raw = TakeQuoted(line)) || !line.empty()) {
    return std::nullopt;
  }
  if (answer.command < 0 || answer.command > 0xFF) return std::nullopt;
  answer.data = std::move(*data);
  answer.raw_reply = std::move(*raw);
  return answer;
}

}  // namespace

std::string QuoteBytes(std::string_view bytes) {
  std::string out = "\"";
  std::size_t i = 0;
  while (i < bytes.size()) {
    // Runs of plain bytes go through the codec together.
    std::size_t end = i;
    while (end < bytes.size() && Plain(static_cast<unsigned char>(bytes[end]))) ++end;
    if (end > i) {
      out += text::Cp1251ToUtf8(bytes.substr(i, end - i));
      i = end;
      continue;
    }
    const auto c = static_cast<unsigned char>(bytes[i++]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else {
      out += "\\x" + text::UpperHex(c, 2);
    }
  }
  return out + "\"";
}

std::string FormatAnswer(const RecordedAnswer& answer) {
  return text::UpperHex(static_cast<std::uint32_t>(answer.command), 2) + " " + text::UpperHex(answer.status, 8) +
         " " + QuoteBytes(answer.data) + " " + QuoteBytes(answer.raw_reply);
}

platform::Result<std::vector<RecordedAnswer>> ParseAnswers(std::string_view text) {
  std::vector<RecordedAnswer> answers;
  std::size_t number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    std::optional<RecordedAnswer> answer = ParseLine(line);
    if (!answer) {
      return platform::SystemResult::Program("line " + std::to_string(number) + " is not a recorded answer");
    }
    answers.push_back(std::move(*answer));
  }
  return answers;
}

}  // namespace fjl::dump

#include "tapedata/json_writer.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

namespace fjl::tapedata {
namespace {

// Which bytes JSON wants escaped: the quote, the backslash and the control
// characters. Everything else, UTF-8 included, passes as it is.
constexpr auto kNeedsEscape = [] {
  std::array<bool, 256> table{};
  for (std::size_t byte = 0; byte < 0x20; ++byte) table[byte] = true;
  table['"'] = true;
  table['\\'] = true;
  return table;
}();

// Writes the escape of `byte` at `at`; its end.
char* Escape(char* at, unsigned char byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  *at++ = '\\';
  switch (byte) {
    case '"':
      *at++ = '"';
      break;
    case '\\':
      *at++ = '\\';
      break;
    case '\n':
      *at++ = 'n';
      break;
    case '\r':
      *at++ = 'r';
      break;
    case '\t':
      *at++ = 't';
      break;
    default:
      *at++ = 'u';
      *at++ = '0';
      *at++ = '0';
      *at++ = kHex[byte >> 4];
      *at++ = kHex[byte & 0x0F];
  }
  return at;
}

}  // namespace

void AppendJsonQuoted(OutBuffer& out, std::string_view text) {
  // Room for the worst case, every byte a \u00XX, and the quotes.
  char* at = out.Room(text.size() * 6 + 2);
  *at++ = '"';
  // Runs of plain bytes are copied whole: names and lines seldom hold a
  // byte to escape.
  const char* run = text.data();
  const char* const end = text.data() + text.size();
  for (const char* c = run; c != end; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (!kNeedsEscape[byte]) continue;
    std::memcpy(at, run, static_cast<std::size_t>(c - run));
    at = Escape(at + (c - run), byte);
    run = c + 1;
  }
  if (run != end) std::memcpy(at, run, static_cast<std::size_t>(end - run));
  at += end - run;
  *at++ = '"';
  out.Commit(at);
}

std::string JsonQuoted(std::string_view text) {
  OutBuffer out(text.size() + 2);
  AppendJsonQuoted(out, text);
  return out.Take();
}

void JsonWriter::Indent() {
  out_.Put('\n');
  out_.Repeat(' ', static_cast<std::size_t>(depth_) * 2);
}

void JsonWriter::Open(char bracket, Layout layout) {
  BeforeValue();
  out_.Put(bracket);
  assert(depth_ < kMaxDepth);
  ++depth_;
  has_items_ &= ~(std::uint64_t{1} << (depth_ - 1));
  if (layout == Layout::OneLine && one_line_depth_ == 0) one_line_depth_ = depth_;
}

void JsonWriter::Close(char bracket) {
  const std::uint64_t bit = std::uint64_t{1} << (depth_ - 1);
  const bool had_items = (has_items_ & bit) != 0;
  const bool one_line = OneLine();
  has_items_ &= ~bit;
  if (one_line_depth_ == depth_) one_line_depth_ = 0;
  --depth_;
  if (had_items && !one_line) Indent();
  out_.Put(bracket);
  if (depth_ == 0) out_.Put('\n');
}

}  // namespace fjl::tapedata

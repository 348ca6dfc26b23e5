#include "tapedata/json_writer.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
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

// Whether any of the eight bytes of `word` wants escaping. Each test marks
// the top bit of a byte below its bound (the usual borrow trick; exact as to
// whether any byte is marked, which is all that is asked); bytes of UTF-8
// letters have their top bit set and are never marked.
bool AnyToEscape(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kTops = 0x8080808080808080;
  const std::uint64_t quote = word ^ (kOnes * '"');
  const std::uint64_t backslash = word ^ (kOnes * '\\');
  const std::uint64_t control = (word - kOnes * 0x20) & ~word;
  return ((control | ((quote - kOnes) & ~quote) | ((backslash - kOnes) & ~backslash)) & kTops) != 0;
}

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
  for (const char* c = run; c != end;) {
    // Eight plain bytes are passed over at once; a word holding one to
    // escape is looked at byte by byte.
    if (end - c >= 8) {
      std::uint64_t word;
      std::memcpy(&word, c, sizeof word);
      if (!AnyToEscape(word)) {
        c += 8;
        continue;
      }
    }
    for (const char* const stop = std::min(c + 8, end); c != stop; ++c) {
      const auto byte = static_cast<unsigned char>(*c);
      if (!kNeedsEscape[byte]) continue;
      std::memcpy(at, run, static_cast<std::size_t>(c - run));
      at = Escape(at + (c - run), byte);
      run = c + 1;
    }
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
  // A line end and the deepest indent there can be. The usual depths are
  // copied as 32 bytes, a size known here (two stores), and cut to length.
  static constexpr auto kLineStart = [] {
    std::array<char, 1 + kMaxDepth * 2> text{};
    text.fill(' ');
    text[0] = '\n';
    return text;
  }();
  constexpr std::size_t kShallow = 32;
  const std::size_t length = 1 + static_cast<std::size_t>(depth_) * 2;
  char* at = out_.Room(kShallow + length);
  if (length <= kShallow) {
    std::memcpy(at, kLineStart.data(), kShallow);
  } else {
    std::memcpy(at, kLineStart.data(), length);
  }
  out_.Commit(at + length);
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

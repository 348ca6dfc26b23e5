#pragma once
// A small streaming JSON writer: strings taken as UTF-8 and escaped where
// JSON requires, integers only. The export never needs a fraction, so there
// is no floating-point path to get wrong.
//
// Containers are laid out one item a line, indented by two spaces a level;
// a container begun "on one line" keeps itself and everything inside it on
// its line ({"type": "payment", "amount": 500}), which is how the export
// writes each record: a tape of thousands of records stays readable and
// takes half the bytes.
//
// Everything goes into one buffer reserved up front (OutBuffer): no value
// makes a string of its own. The calls made for every value are defined
// here, so they inline: a full tape writes some 300,000 keys and values.

#include <cassert>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "tapedata/out_buffer.h"

namespace fjl::tapedata {

enum class Layout { Lines, OneLine };

void AppendJsonQuoted(OutBuffer& out, std::string_view text);

class JsonWriter {
 public:
  explicit JsonWriter(std::size_t reserve = 0) : out_(reserve) {}
  // Written through a window of `window` bytes into `drain` (see OutBuffer);
  // Flush() once the outermost value is closed.
  JsonWriter(std::size_t window, OutBuffer::Drain drain) : out_(window, std::move(drain)) {}

  void BeginObject(Layout layout = Layout::Lines) { Open('{', layout); }
  void EndObject() { Close('}'); }
  void BeginArray(Layout layout = Layout::Lines) { Open('[', layout); }
  void EndArray() { Close(']'); }

  // The key of the next value inside an object: one of the export's own
  // names, a literal with nothing in it to escape.
  template <std::size_t N>
  JsonWriter& Key(const char (&key)[N]) {
    BeforeValue();
    // The literal's size is known here, so the copy is a few moves.
    char* at = out_.Room(N + 3);
    *at = '"';
    std::memcpy(at + 1, key, N - 1);
    std::memcpy(at + N, "\": ", 3);
    out_.Commit(at + N + 3);
    after_key_ = true;
    return *this;
  }
  void String(std::string_view text) {
    BeforeValue();
    AppendJsonQuoted(out_, text);
  }
  // A string of characters that need no escaping: digits, '/', ':', '-',
  // and the export's own names ("item_sale").
  void PlainString(std::string_view text) {
    BeforeValue();
    char* at = out_.Room(text.size() + 2);
    *at++ = '"';
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    at += text.size();
    *at++ = '"';
    out_.Commit(at);
  }
  void Integer(std::int64_t value) {
    BeforeValue();
    out_.Integer(value);
  }
  void Unsigned(std::uint64_t value) {
    BeforeValue();
    out_.Unsigned(value);
  }
  void Bool(bool value) {
    BeforeValue();
    out_.Put(value ? std::string_view("true") : std::string_view("false"));
  }
  void Null() {
    BeforeValue();
    out_.Put(std::string_view("null"));
  }
  template <typename T>
  void Optional(const std::optional<T>& value) {
    if (!value) return Null();
    if constexpr (std::is_same_v<T, std::string>) {
      String(*value);
    } else {
      Integer(*value);
    }
  }

  // The text, ending in a newline once the outermost value is closed; the
  // writer is empty afterwards.
  std::string Take() { return out_.Take(); }
  void Flush() { out_.Flush(); }

 private:
  // Deeper than any document the exports write; a deeper one is a bug.
  static constexpr int kMaxDepth = 64;

  void BeforeValue() {
    if (after_key_) {
      after_key_ = false;
      return;
    }
    if (depth_ == 0) return;
    const std::uint64_t bit = std::uint64_t{1} << (depth_ - 1);
    const bool first = (has_items_ & bit) == 0;
    has_items_ |= bit;
    if (OneLine()) {
      if (!first) out_.Put(std::string_view(", "));
      return;
    }
    if (!first) out_.Put(',');
    Indent();
  }
  void Open(char bracket, Layout layout);
  void Close(char bracket);
  void Indent();
  bool OneLine() const { return one_line_depth_ > 0 && depth_ >= one_line_depth_; }

  OutBuffer out_;
  std::uint64_t has_items_ = 0;  // bit d: the container at depth d + 1 has an item
  int depth_ = 0;
  int one_line_depth_ = 0;  // the depth of the outermost one-line container, 0 for none
  bool after_key_ = false;
};

// `text` as a JSON string literal, quotes included.
std::string JsonQuoted(std::string_view text);

}  // namespace fjl::tapedata

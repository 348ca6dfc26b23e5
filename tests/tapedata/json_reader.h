#pragma once
// A JSON reader for the tests, apart from the writer it checks: the whole of
// RFC 8259 but fractions and exponents (the exports write integers only),
// keys kept in their order. A malformed text throws std::runtime_error
// naming the offset.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fjl::tapedata::testing {

struct JsonValue;
using JsonArray = std::vector<JsonValue>;
// The members in their order. Two vectors rather than one of pairs: a
// vector may hold a type not yet complete (JsonValue here), a pair may not.
struct JsonObject {
  std::vector<std::string> keys;
  JsonArray values;  // values[i] is the value of keys[i]
};

struct JsonValue {
  std::variant<std::nullptr_t, bool, std::int64_t, std::string, JsonArray, JsonObject> value;

  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(value); }
  bool IsObject() const { return std::holds_alternative<JsonObject>(value); }
  bool IsArray() const { return std::holds_alternative<JsonArray>(value); }
  bool IsInteger() const { return std::holds_alternative<std::int64_t>(value); }
  bool IsString() const { return std::holds_alternative<std::string>(value); }
  bool IsBool() const { return std::holds_alternative<bool>(value); }
  const JsonObject& Object() const { return std::get<JsonObject>(value); }
  const JsonArray& Array() const { return std::get<JsonArray>(value); }
  std::int64_t Integer() const { return std::get<std::int64_t>(value); }
  const std::string& String() const { return std::get<std::string>(value); }
  bool Bool() const { return std::get<bool>(value); }
  // The member `key` of an object; throws when there is none.
  const JsonValue& operator[](std::string_view key) const;
  bool Has(std::string_view key) const;
};

inline const JsonValue& JsonValue::operator[](std::string_view key) const {
  const JsonObject& object = Object();
  for (std::size_t i = 0; i < object.keys.size(); ++i) {
    if (object.keys[i] == key) return object.values[i];
  }
  throw std::runtime_error("no member " + std::string(key));
}

inline bool JsonValue::Has(std::string_view key) const {
  const JsonObject& object = Object();
  for (const std::string& name : object.keys) {
    if (name == key) return true;
  }
  return false;
}

class JsonReader {
 public:
  static JsonValue Parse(std::string_view text) {
    JsonReader reader(text);
    JsonValue value = reader.Value();
    reader.Space();
    if (reader.at_ != text.size()) reader.Fail("text after the value");
    return value;
  }

 private:
  explicit JsonReader(std::string_view text) : text_(text) {}

  [[noreturn]] void Fail(const std::string& why) const {
    throw std::runtime_error("JSON at offset " + std::to_string(at_) + ": " + why);
  }
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  void Space() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t')) {
      ++at_;
    }
  }
  void Expect(char c) {
    if (Peek() != c) Fail(std::string("expected '") + c + "'");
    ++at_;
  }
  void Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) Fail("expected " + std::string(word));
    at_ += word.size();
  }

  JsonValue Value() {
    Space();
    switch (Peek()) {
      case '{':
        return {ObjectValue()};
      case '[':
        return {ArrayValue()};
      case '"':
        return {StringValue()};
      case 't':
        Word("true");
        return {true};
      case 'f':
        Word("false");
        return {false};
      case 'n':
        Word("null");
        return {nullptr};
      default:
        return {IntegerValue()};
    }
  }

  JsonObject ObjectValue() {
    Expect('{');
    JsonObject object;
    Space();
    if (Peek() == '}') {
      ++at_;
      return object;
    }
    for (;;) {
      Space();
      object.keys.push_back(StringValue());
      Space();
      Expect(':');
      object.values.push_back(Value());
      Space();
      if (Peek() == ',') {
        ++at_;
        continue;
      }
      Expect('}');
      return object;
    }
  }

  JsonArray ArrayValue() {
    Expect('[');
    JsonArray array;
    Space();
    if (Peek() == ']') {
      ++at_;
      return array;
    }
    for (;;) {
      array.push_back(Value());
      Space();
      if (Peek() == ',') {
        ++at_;
        continue;
      }
      Expect(']');
      return array;
    }
  }

  std::int64_t IntegerValue() {
    const std::size_t start = at_;
    if (Peek() == '-') ++at_;
    if (Peek() < '0' || Peek() > '9') Fail("expected a value");
    if (Peek() == '0' && at_ + 1 < text_.size() && text_[at_ + 1] >= '0' && text_[at_ + 1] <= '9') {
      Fail("a leading zero");
    }
    while (Peek() >= '0' && Peek() <= '9') ++at_;
    if (Peek() == '.' || Peek() == 'e' || Peek() == 'E') Fail("a fraction: the exports write integers only");
    return std::stoll(std::string(text_.substr(start, at_ - start)));
  }

  static void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  std::uint32_t Hex4() {
    if (at_ + 4 > text_.size()) Fail("a short \\u escape");
    std::uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      code <<= 4;
      if (c >= '0' && c <= '9') {
        code |= static_cast<std::uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        code |= static_cast<std::uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        code |= static_cast<std::uint32_t>(c - 'A' + 10);
      } else {
        Fail("a bad \\u escape");
      }
    }
    return code;
  }

  std::string StringValue() {
    Expect('"');
    std::string out;
    for (;;) {
      if (at_ >= text_.size()) Fail("an unterminated string");
      const char c = text_[at_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Fail("a raw control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      const char e = at_ < text_.size() ? text_[at_++] : '\0';
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          std::uint32_t code = Hex4();
          if (code >= 0xD800 && code < 0xDC00) {
            Word("\\u");
            const std::uint32_t low = Hex4();
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, code);
          break;
        }
        default:
          Fail("a bad escape");
      }
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace fjl::tapedata::testing

#pragma once
// A small streaming JSON writer: two-space indentation, strings taken as
// UTF-8 and escaped where JSON requires, integers only. The export never
// needs a fraction, so there is no floating-point path to get wrong.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace fjl::tapedata {

class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The key of the next value inside an object.
  JsonWriter& Key(std::string_view key);
  void String(std::string_view text);
  void Integer(std::int64_t value);
  void Unsigned(std::uint64_t value);
  void Bool(bool value);
  void Null();
  template <typename T>
  void Optional(const std::optional<T>& value) {
    if (!value) return Null();
    if constexpr (std::is_same_v<T, std::string>) {
      String(*value);
    } else {
      Integer(*value);
    }
  }

  // The text so far, ending in a newline once the outermost value is closed.
  const std::string& Text() const { return out_; }

 private:
  void BeforeValue();
  void Open(char bracket);
  void Close(char bracket);
  void Indent();

  std::string out_;
  std::vector<bool> has_items_;  // one per open container
  bool after_key_ = false;
};

// `text` as a JSON string literal, quotes included.
std::string JsonQuoted(std::string_view text);

}  // namespace fjl::tapedata

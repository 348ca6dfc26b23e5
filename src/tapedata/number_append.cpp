#include "tapedata/number_append.h"

#include <charconv>

#include "tapedata/out_buffer.h"

namespace fjl::tapedata {
namespace {

// The most a fraction takes: sign, 20 digits, the mark, and a leading "0."
// with zeros for up to `digits` places.
constexpr std::size_t FractionRoom(std::size_t digits) { return 24 + digits; }

char* WriteDecimalFraction(char* at, std::int64_t value, int digits, char point) {
  // The magnitude as unsigned, so the most negative value converts too.
  const std::uint64_t magnitude =
      value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char buffer[24];
  const char* end = std::to_chars(buffer, buffer + sizeof buffer, magnitude).ptr;
  const auto length = static_cast<std::size_t>(end - buffer);
  const std::size_t after = digits > 0 ? static_cast<std::size_t>(digits) : 0;
  if (value < 0) *at++ = '-';
  const std::size_t before = length > after ? length - after : 0;
  if (before == 0) {
    *at++ = '0';
  } else {
    for (std::size_t i = 0; i < before; ++i) *at++ = buffer[i];
  }
  if (after == 0) return at;
  *at++ = point;
  for (std::size_t i = length; i < after; ++i) *at++ = '0';
  for (std::size_t i = before; i < length; ++i) *at++ = buffer[i];
  return at;
}

}  // namespace

void AppendInteger(std::string& out, std::int64_t value) {
  char buffer[24];
  out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void AppendUnsigned(std::string& out, std::uint64_t value) {
  char buffer[24];
  out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void AppendDecimalFraction(std::string& out, std::int64_t value, int digits, char point) {
  OutBuffer text(FractionRoom(digits > 0 ? static_cast<std::size_t>(digits) : 0));
  text.DecimalFraction(value, digits, point);
  out += text.Take();
}

void OutBuffer::DecimalFraction(std::int64_t value, int digits, char point) {
  Commit(WriteDecimalFraction(Room(FractionRoom(digits > 0 ? static_cast<std::size_t>(digits) : 0)), value, digits,
                              point));
}

}  // namespace fjl::tapedata
